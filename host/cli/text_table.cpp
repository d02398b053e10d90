// Column widths are counted in characters, not bytes, so UTF-8 headers such as "µs" line up.
#include "host/cli/text_table.h"

#include <algorithm>

namespace aikhost {

namespace {

std::size_t displayWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void printRow(std::ostream& out, const std::vector<std::string>& cells,
              const std::vector<std::size_t>& widths) {
    std::string line;
    for (std::size_t column = 0; column < widths.size(); ++column) {
        const std::string cell = column < cells.size() ? cells[column] : std::string();
        line += cell;
        if (column + 1 < widths.size()) {
            line.append(widths[column] - displayWidth(cell) + 2, ' ');
        }
    }
    out << line << '\n';
}

} // namespace

void TextTable::print(std::ostream& out) const {
    std::vector<std::size_t> widths(m_header.size());
    for (std::size_t column = 0; column < m_header.size(); ++column) {
        widths[column] = displayWidth(m_header[column]);
        for (const auto& row : m_rows) {
            if (column < row.size()) {
                widths[column] = std::max(widths[column], displayWidth(row[column]));
            }
        }
    }
    printRow(out, m_header, widths);
    for (const auto& row : m_rows) {
        printRow(out, row, widths);
    }
}

} // namespace aikhost
