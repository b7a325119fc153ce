#include "core/base/busy_cursor.h"

namespace {
BusyCursor::Hook g_show = nullptr;
BusyCursor::Hook g_restore = nullptr;
} // namespace

void BusyCursor::installHooks(Hook show, Hook restore)
{
    g_show = show;
    g_restore = restore;
}

BusyCursor::BusyCursor()
{
    if (g_show)
        g_show();
}

BusyCursor::~BusyCursor()
{
    if (g_restore)
        g_restore();
}
