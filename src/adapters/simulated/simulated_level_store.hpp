#pragma once

#include <memory>

#include "ports/level_store.hpp"

namespace lumaro {

// Remembered levels kept in memory. The contents outlive the store (the
// test keeps `shelf` while a LevelMemory owns the store) and count the saves.
class SimulatedLevelStore final : public LevelStore {
 public:
  struct Shelf {
    RememberedLevels levels;
    int saves = 0;
  };
  explicit SimulatedLevelStore(std::shared_ptr<Shelf> shelf) : shelf_(std::move(shelf)) {}

  RememberedLevels load() override { return shelf_->levels; }
  void save(const RememberedLevels& levels) override {
    shelf_->levels = levels;
    ++shelf_->saves;
  }

 private:
  std::shared_ptr<Shelf> shelf_;
};

}  // namespace lumaro
