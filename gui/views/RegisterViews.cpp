#include "gui/views/RegisterViews.h"

#include <mutex>

namespace hm::gui {

void registerEditorViews() {
    static std::once_flag once;
    std::call_once(once, [] {
    });
}

}  // namespace hm::gui
