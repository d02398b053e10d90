// Shell-style name patterns for --filter: '*' any run of characters, '?' one.
#ifndef AIKHOST_GLOB_H
#define AIKHOST_GLOB_H

#include <string>

namespace aikhost {

bool globMatches(const std::string& pattern, const std::string& text);

} // namespace aikhost

#endif
