#pragma once
// A printed page's body laid out by its content: blocks of lines placed one
// under the other from the page's first line; a block that does not fit on
// the page moves whole to the next one, a long table goes on over pages with
// its heading repeated, and no line ever passes the body's last.
#include "render/printedreports.h"

#include <functional>
#include <vector>

namespace render {

// The texts of one line; their `line` is set where the line is placed.
using PageRow = std::vector<PageText>;

struct PageBlock {
    std::vector<PageRow> rows; // an empty row is a blank line
    int gapBefore = 0;         // blank lines after the block above; none at the top of a page
    int keep = -1;             // how many of its first rows stay on one page; all when negative
    int heading = -1;          // the row repeated at the top of a continuation page; none when negative
    bool startsPage = false;   // on a page of its own, after whatever is above
};

// A block of lines of one text each, at `column`; a text that would pass
// the body's last column goes on in the lines below it, broken at blanks.
PageBlock TextBlock(const std::vector<QString> &lines, int column, int gapBefore = 0);

// A table under its centred title: the title, a blank line, the heading row
// (repeated on each continuation page) and the rows; the title stays with the
// heading and the first row. A column starts at its designed column, or
// further right when a cell of the column to its left would reach it.
PageBlock TableBlock(const QString &title, const std::vector<std::vector<QString>> &rows,
                     const std::vector<int> &columns, int gapBefore);
// The same rows without a title, kept together.
PageBlock CellsBlock(const std::vector<std::vector<QString>> &rows, const std::vector<int> &columns, int gapBefore);

class PageFlow {
public:
    // Bodies from `firstLine` to `lastLine`; `finish` completes each page
    // before it is put away (the study block at its foot).
    PageFlow(int firstLine, int lastLine, std::function<void(PageBody &)> finish);

    void add(const PageBlock &block);
    // Every page, the last one finished.
    std::vector<PageBody> pages();

private:
    void newPage();
    void put(const PageRow &row);

    int first_, last_;
    std::function<void(PageBody &)> finish_;
    std::vector<PageBody> pages_;
    PageBody body_;
    int line_;
    bool blank_ = true; // nothing placed on the page yet
};

} // namespace render
