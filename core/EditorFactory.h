#pragma once
// The instance's editor is made by the editor subsystem (gui/editor); the
// instance only holds it through the VST editor base.
namespace vst {
class AEffEditor;
}

namespace hm {

class Plug;

// UI thread (instance construction). Null when the library has no editor.
vst::AEffEditor* createPlugEditor(Plug* plug);

}  // namespace hm
