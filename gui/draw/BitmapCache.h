#pragma once
// The process-wide cache of skin bitmaps by id. The first request decodes the
// PNG resource and keeps one reference; later requests return the same
// object. Id 0, unknown ids and corrupt images give nullptr (no bitmap). The
// pointer is borrowed: a view that keeps it retains it. The editor clears
// the cache when it is destroyed; bitmaps still retained by views live on
// until those release them. UI thread only.
#include "gui/draw/CDIB.h"

namespace hm::gui {

CDIB* getSkinBitmap(int id);
// Releases the cache's references and forgets every id.
void clearSkinBitmaps();
// Number of ids currently cached (tests, diagnostics).
int skinBitmapCacheSize();

}  // namespace hm::gui
