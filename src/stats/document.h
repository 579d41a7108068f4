#pragma once
// A result described once, for every place that shows it: the command line
// and the windows read it as text, a printed page lays it out by its
// content. A block holds lines or a table (its heading row first); its
// heading is written once, as the page titles it, and the text says it in
// capitals unless it words it otherwise. What only one of them has room or
// use for is marked so.
#include <string>
#include <vector>

namespace stats {

using Lines = std::vector<std::string>;
using CellRow = std::vector<std::string>;

enum class ShownIn { TextAndPage, TextOnly, PageOnly };

// Where a page puts a block's heading: centred above it, as a table's
// title, or as its first line (with a blank line under it, or none).
enum class PageHeading { Centred, FirstLine, FirstLineThenBlank };

struct DocumentBlock {
    std::string heading = {};     // as the page writes it; may be empty
    std::string textHeading = {}; // as the text writes it; empty: the heading in capitals
    PageHeading pageHeading = PageHeading::Centred;
    Lines lines = {};            // a block of lines...
    std::vector<CellRow> cells = {}; // ...or a table
    std::vector<int> columns = {}; // the page's column for each cell of a row
    int gapBefore = 1;           // blank lines above it on a page
    bool startsPage = false;     // on a page of its own, after whatever is above
    ShownIn shownIn = ShownIn::TextAndPage;
};

struct Document {
    std::string textTitle = {}; // the text's first line, indented as it stands; empty: none
    std::string pageTitle = {}; // centred over the page's body
    std::vector<DocumentBlock> blocks = {};
};

// The document as text: its title, then each block after a blank line, a
// heading followed by a blank line, tables aligned in columns.
Lines TextOf(const Document &document);

// Cells laid out in columns two blanks apart, as wide as their widest cell
// (characters, not bytes).
Lines AlignedRows(const std::vector<CellRow> &rows);

// `text` in capitals, the Spanish letters with accents, ñ and ü included.
std::string Capitals(const std::string &text);

} // namespace stats
