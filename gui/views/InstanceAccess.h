#pragma once
// The setup pages, the phase and impulse graphs and the routing matrix read
// the instance they belong to: its preference tree, its filter bank, its
// routing. They reach it through their listener, the editor, whose effect is
// the instance. A view built without an editor (a picture, a test of the
// drawing) has none and shows an empty state.
namespace hm {
class Plug;
}

namespace hm::gui {

class CControlListener;

// The instance behind the editor that listens to a view; null when the
// listener is no editor of an instance. UI thread.
Plug* instanceOf(CControlListener* listener);

}  // namespace hm::gui
