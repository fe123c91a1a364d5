#pragma once

// Ctrl+C during a card transfer: the handler only raises a flag, which the run reads between
// frames, so the frame under way finishes and the port is released before the program ends.
class InterruptFlag {
 public:
  InterruptFlag();   // installs the SIGINT handler and lowers the flag
  ~InterruptFlag();  // puts the previous handler back
  InterruptFlag(const InterruptFlag&) = delete;
  InterruptFlag& operator=(const InterruptFlag&) = delete;

  bool raised() const;

 private:
  void (*previous_)(int);
};
