// The window procedure: the runtime's side of the window. Back-ends call it on their event
// thread; it repaints, records keys and mouse events for the program and edits input lines.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/platform.h"

namespace quillon {

struct Runtime;

class WindowProcedure : public WindowEvents {
  public:
    explicit WindowProcedure(Runtime& rt) : rt_(rt) {}
    void paint() override;
    void resized(int width, int height) override;
    void key_char(uint8_t byte) override;
    void arrow_key(uint8_t code) override;
    void mouse(int event, int x, int y) override;
    void focus(bool gained) override;
    void close_requested() override;
    void copy_surface(std::function<void(const PixelView&)> present) override;
    // The caret's x and the bottom y of its line, and whether the caret flag is set.
    bool caret(int& x, int& y) override;

    // The user closed the window (the worker must not start the program any more).
    bool closed() const { return closed_; }

  private:
    void type_character(uint8_t byte);
    void erase_typed_character();

    Runtime& rt_;
    std::atomic<bool> closed_{false};
};

}  // namespace quillon
