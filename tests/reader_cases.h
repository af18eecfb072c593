#pragma once

// One table of cases for the line readers of both programs, which share no
// code: each cuts its input into lines of at most 255 bytes, stopping after a
// newline; reads CR LF as one newline where the platform ends lines so, also
// where a read of the file splits the pair; and passes over the stretches
// where a text does not occur without cutting them into lines. A case is made
// for the size of the reader's first read, so that it can stand at its end.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct ReaderCase {
    std::string name;
    std::string content;
    bool crlfLineEnds;
};

// The text that the cases hold here and there, for the readers' fast paths.
inline constexpr std::string_view readerText = "Vexo #3";

inline std::vector<ReaderCase> readerCases(std::size_t firstRead) {
    const auto xs = [](std::size_t count, std::string_view rest) {
        return std::string(count, 'x').append(rest);
    };
    // Lines that end bytesBefore bytes before the end of the first read.
    const auto filler = [&](std::size_t bytesBefore) {
        return std::string(firstRead - bytesBefore - 1, 'p') + "\n";
    };
    return {
        {"CR LF", "a\r\nb\r\n", true},
        {"LF alone where CR LF is one newline", "a\nb\n", true},
        {"254 bytes and CR LF", xs(254, "\r\ny\r\n"), true},
        {"255 bytes and CR LF", xs(255, "\r\ny\r\n"), true},
        {"CR CR LF", xs(253, "\r\r\nz\r"), true},
        {"a lone CR and Ctrl-Z", "lone\rCR\r\n\x1a Ctrl-Z \x1a\r\n", true},
        {"CR LF split by the first read", xs(firstRead - 1, "\r\nafter the split\r\n"), true},
        {"a CR that ends the file", xs(firstRead - 1, "\r"), true},
        // The join decides whether the line's 255th byte is its newline.
        {"CR LF split by the first read, after 254 bytes", filler(255) + xs(254, "\r\nafter\r\n"),
         true},
        {"CR and LF split by the first read, after 254 bytes, read as bytes",
         filler(255) + xs(254, "\r\nafter\n"), false},
        {"a line holding the text, cut by the first read", filler(6) + "ab Vexo #3 cd\nVexo #3\n",
         false},
        {"a line holding the text at the very end of the first read", filler(8) + "Vexo #3\nx\n",
         false},
        {"the text in long lines",
         std::string(250, 'v') + "Vexo #3" + std::string(500, 'w') + "Vexo #3\n" +
             xs(252, "Vexo #3\n"),
         false},
    };
}

// The lines a reader must give: CR LF joined first where lines end so, then
// cut at each newline and after every 255 bytes.
inline std::vector<std::string> expectedLines(std::string content, bool crlfLineEnds) {
    for (std::size_t at = 0; crlfLineEnds && (at = content.find("\r\n", at)) != content.npos;) {
        content.erase(at, 1);
    }
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < content.size();) {
        const std::size_t newline = content.substr(start, 255).find('\n');
        const std::size_t length = newline == std::string::npos ? 255 : newline + 1;
        lines.push_back(content.substr(start, length));
        start += length;
    }
    return lines;
}
