// The live view's one page (host/view/page.html), built into aikhost.
#ifndef AIKHOST_VIEW_PAGE_H
#define AIKHOST_VIEW_PAGE_H

namespace aikhost {

const char* viewPage();

} // namespace aikhost

#endif
