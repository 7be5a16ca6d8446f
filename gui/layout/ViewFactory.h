#pragma once
// The view registry: every view class that is not a stock framework class is
// made through a maker registered here under its layout name (compared without
// regard to case). Views in gui/views/ register through registerEditorViews()
// (gui/views/RegisterViews.h), so adding a view never touches the builder.
#include <optional>
#include <string>
#include <string_view>

#include "gui/draw/Geometry.h"
#include "gui/layout/Attributes.h"
#include "gui/layout/LayoutElement.h"

namespace hm::gui {

class CBitmap;
class CControlListener;
class CView;
class CViewContainer;

// What a maker gets for one element.
struct ViewRequest {
    const std::string& name;       // element name as written
    CRect rect;                    // (x, y, x + width, y + height) in the parent
    CControlListener* listener;    // the editor
    int tag;                       // resolved `tag`, −1 when absent or unknown
    CViewContainer* top;           // the top-level container (the frame)
    CPoint offset;                 // `xoff`, `yoff`: background offset
    CPoint handleOffset;           // `offsetx`, `offsety`: slider handle offset
    const LayoutElement& element;

    std::optional<std::string_view> find(std::string_view attr) const { return findAttribute(element, attr); }
    std::string string(std::string_view attr) const { return attributeString(element, attr); }
    int integer(std::string_view attr) const { return attributeInt(element, attr); }
    unsigned hex(std::string_view attr) const { return attributeHex(element, attr); }
    bool boolean(std::string_view attr) const { return attributeBool(element, attr); }
    int bitmapId(std::string_view attr) const { return attributeBitmapId(element, attr); }
    CBitmap* bitmap(std::string_view attr) const { return attributeBitmap(element, attr); }
    // An attribute holding an enumerator name (such as `alttag`), resolved; −1 when none.
    int tagNamed(std::string_view attr) const;
};

// Returns a new view (the caller owns the reference) or null.
using ViewMaker = CView* (*)(const ViewRequest& request);

// UI thread. A later registration of the same name replaces the earlier
// one; registering null removes the name.
void registerViewClass(std::string_view name, ViewMaker maker);
// Null when no class of that name is registered.
ViewMaker findViewClass(std::string_view name);

}  // namespace hm::gui
