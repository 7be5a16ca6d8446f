#include "gui/views/InstanceOf.h"

#include "core/Plug.h"
#include "core/vst/AEffEditor.h"
#include "gui/framework/CControl.h"

namespace hm::gui {

Plug* instanceOf(CControlListener* listener) {
    auto* editor = dynamic_cast<vst::AEffEditor*>(listener);
    return editor ? dynamic_cast<Plug*>(editor->getEffect()) : nullptr;
}

}  // namespace hm::gui
