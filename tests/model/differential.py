"""The loop both differential tests share: run the cases, print the first few
disagreements with the model, and end with the count line."""


def run_cases(cases, check_case):
    """check_case(n) returns None when the program agrees with the model on
    case n, else a description of the difference. Returns the exit code."""
    failures = 0
    checked = 0
    for case in range(cases):
        checked += 1
        difference = check_case(case)
        if difference is not None:
            failures += 1
            print("case %d differs: %s\n" % (case, difference))
            if failures > 3:
                break
    print("%d passed, %d failed" % (checked - failures, failures))
    return 1 if failures else 0
