// A plain-text table for the terminal: columns padded to their widest cell.
#ifndef AIKHOST_TEXT_TABLE_H
#define AIKHOST_TEXT_TABLE_H

#include <ostream>
#include <string>
#include <vector>

namespace aikhost {

class TextTable {
public:
    explicit TextTable(std::vector<std::string> header) : m_header(std::move(header)) {}

    // A row has as many cells as the header; missing cells print empty.
    void addRow(std::vector<std::string> cells) { m_rows.push_back(std::move(cells)); }
    void print(std::ostream& out) const;

private:
    std::vector<std::string> m_header;
    std::vector<std::vector<std::string>> m_rows;
};

} // namespace aikhost

#endif
