#pragma once

// What one reply of a serial reader says about the frame it carried.
enum class ReplyCheck {
  Good,
  NoCard,  // the reader has no card in its slot
  Bad,     // wrong length, identity, checksum or status: worth another try
};
