#pragma once
// How a view finds the instance it shows: its listener is the editor, and the
// editor belongs to the instance. Views read the instance's queries (band
// values, texts, responses, meters, analyser rings) through this pointer and
// change it only through their listener. Null when the listener is no
// editor (a view built for a picture or a test without an instance).
namespace hm {
class Plug;
}

namespace hm::gui {

class CControlListener;

Plug* instanceOf(CControlListener* listener);

}  // namespace hm::gui
