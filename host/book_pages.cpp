// The player book's pages of the host's menu.
#include "host/book.h"
#include "host/host_internal.h"

void registerBookPages() {}
