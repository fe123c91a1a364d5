#pragma once

#include <optional>

#include "emulated_card.h"
#include "port_access.h"

// A transfer's port when the far end is the emulated card: preparing plugs the card in as the
// port, releasing unplugs it. Preparing can be made to fail with a chosen message.
class EmulatedCardPortAccess final : public PortAccess {
 public:
  explicit EmulatedCardPortAccess(EmulatedCard& card) : card_(card) {}
  ~EmulatedCardPortAccess() override { Release(); }

  std::optional<PortFailure> Prepare(uint16_t port_base) override;
  void Release() override;

  std::optional<PortFailure> fail_prepare_with;

  bool holding() const { return installed_.has_value(); }
  int prepare_count() const { return prepare_count_; }
  int release_count() const { return release_count_; }
  std::optional<uint16_t> prepared_base() const { return prepared_base_; }

 private:
  EmulatedCard& card_;
  std::optional<ScopedPortBackend> installed_;
  std::optional<uint16_t> prepared_base_;
  int prepare_count_ = 0;
  int release_count_ = 0;
};
