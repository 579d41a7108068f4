#include "stats/document.h"

#include <algorithm>

namespace stats {

namespace {

size_t characters(const std::string &s)
{
    return static_cast<size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// The blank line the text writes between blocks (one blank, as the
// windows have always shown it).
const char *const kBlankLine = " ";

} // namespace

Lines TextOf(const Document &document)
{
    Lines lines;
    if (!document.textTitle.empty())
        lines.push_back(document.textTitle);
    for (const DocumentBlock &block : document.blocks) {
        if (block.shownIn == ShownIn::PageOnly)
            continue;
        if (!lines.empty())
            lines.push_back(kBlankLine);
        const std::string heading = block.textHeading.empty() ? Capitals(block.heading) : block.textHeading;
        if (!heading.empty()) {
            lines.push_back(heading);
            lines.push_back(kBlankLine);
        }
        lines.insert(lines.end(), block.lines.begin(), block.lines.end());
        const Lines table = AlignedRows(block.cells);
        lines.insert(lines.end(), table.begin(), table.end());
    }
    return lines;
}

Lines AlignedRows(const std::vector<CellRow> &rows)
{
    std::vector<size_t> widths;
    for (const CellRow &row : rows)
        for (size_t c = 0; c < row.size(); ++c) {
            widths.resize(std::max(widths.size(), row.size()));
            widths[c] = std::max(widths[c], characters(row[c]));
        }
    Lines lines;
    for (const CellRow &row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row[c] + std::string(widths[c] - characters(row[c]) + 2, ' ') : row[c];
        lines.push_back(line);
    }
    return lines;
}

std::string Capitals(const std::string &text)
{
    std::string upper = text;
    for (size_t i = 0; i < upper.size(); ++i) {
        const auto c = static_cast<unsigned char>(upper[i]);
        if (c >= 'a' && c <= 'z') {
            upper[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < upper.size()) {
            // U+00E0 to U+00FE (but ÷) are the capitals U+00C0 to U+00DE plus 0x20.
            const auto next = static_cast<unsigned char>(upper[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7)
                upper[i + 1] = static_cast<char>(next - 0x20);
            ++i;
        }
    }
    return upper;
}

} // namespace stats
