#pragma once
// gui/views/: the editor's own views. Each view file pair offers one
// registerXxxViews() that registers its classes with the view registry
// (gui/layout/ViewFactory.h); registerEditorViews() calls them all. The calls
// are explicit because static initialisers in a static library are dropped
// by the linker when nothing else references their object file.
namespace hm::gui {

// Registers every view class of gui/views/. Safe to call more than once and
// from any thread (the work happens once per process).
void registerEditorViews();

}  // namespace hm::gui
