# Renders a manual page as plain text with CR LF line ends, for the Windows ZIP:
#   cmake -DGROFF=<groff> -DPAGE=<page.1> -DOUTPUT=<page.txt> -P manual-as-text.cmake
execute_process(COMMAND ${GROFF} -man -t -Tascii -P-cbou -rLL=78n ${PAGE}
                OUTPUT_VARIABLE text RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "groff could not render ${PAGE}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
