#include "emulated_card_port_access.h"

std::optional<PortFailure> EmulatedCardPortAccess::Prepare(uint16_t port_base) {
  ++prepare_count_;
  prepared_base_ = port_base;
  if (fail_prepare_with) return fail_prepare_with;
  installed_.emplace(card_);
  return std::nullopt;
}

void EmulatedCardPortAccess::Release() {
  ++release_count_;
  installed_.reset();
}
