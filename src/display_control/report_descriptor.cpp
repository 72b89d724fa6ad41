#include "display_control/report_descriptor.hpp"

#include <map>
#include <utility>

namespace lumaro::hid {

namespace {

// Limits of the Linux HID core: a descriptor, field or report beyond them is
// one no real device sends, so it is a corrupt one.
constexpr std::size_t kMaxDescriptorBytes = 4096;
constexpr std::uint32_t kMaxReportSize = 256;     // bits of one field
constexpr std::uint32_t kMaxReportCount = 12288;  // fields of one main item
constexpr std::size_t kMaxReportBytes = 4096;
constexpr std::size_t kMaxCollectionDepth = 32;
constexpr std::size_t kMaxPushDepth = 8;
constexpr std::size_t kMaxLocalUsages = 1024;

constexpr std::uint8_t kLongItemPrefix = 0xFE;
enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };
enum MainTag : std::uint8_t { kInput = 0x8, kOutput = 0x9, kFeature = 0xB, kCollection = 0xA, kEndCollection = 0xC };
enum GlobalTag : std::uint8_t {
  kUsagePage = 0x0,
  kLogicalMinimum = 0x1,
  kLogicalMaximum = 0x2,
  kReportSize = 0x7,
  kReportID = 0x8,
  kReportCount = 0x9,
  kPush = 0xA,
  kPop = 0xB,
};
enum LocalTag : std::uint8_t { kUsage = 0x0, kUsageMinimum = 0x1, kUsageMaximum = 0x2 };
constexpr std::uint8_t kApplicationCollection = 0x01;
constexpr std::uint32_t kConstantBit = 0x01;
constexpr std::uint32_t kVariableBit = 0x02;

struct Globals {
  std::uint16_t usagePage = 0;
  std::int64_t logicalMinimum = 0;
  std::int64_t logicalMaximum = 0;
  std::int64_t logicalMaximumUnsigned = 0;  // the same bytes read without a sign
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  std::uint8_t reportID = 0;
};

// A usage as written: a short one takes its page from the main item's globals.
struct LocalUsage {
  std::uint32_t value;
  bool extended;
};

struct Item {
  std::uint8_t type;
  std::uint8_t tag;
  std::uint32_t unsignedValue;
  std::int64_t signedValue;
  std::size_t size;
};

class Parser {
 public:
  explicit Parser(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  ReportDescriptor run() {
    if (bytes_.size() > kMaxDescriptorBytes) return refuse("longer than " + std::to_string(kMaxDescriptorBytes));
    while (position_ < bytes_.size()) {
      const std::size_t start = position_;
      const auto item = next();
      if (!item) return refuse("item cut off at byte " + std::to_string(start));
      if (!apply(*item)) return refuse(*why_ + " at byte " + std::to_string(start));
    }
    if (!collections_.empty()) return refuse("collections do not close");

    for (FeatureControl& control : features_) {
      control.reportLength = 1 + (featureBits_[control.reportID] + 7) / 8;
    }
    return {.features = std::move(features_), .refusal = std::nullopt};
  }

 private:
  static ReportDescriptor refuse(std::string why) { return {.features = {}, .refusal = std::move(why)}; }

  // Absent when the item runs past the end.
  std::optional<Item> next() {
    const std::uint8_t prefix = bytes_[position_++];
    if (prefix == kLongItemPrefix) {
      // Long items carry no tag defined for descriptors: skipped whole.
      if (bytes_.size() - position_ < 2) return std::nullopt;
      const std::size_t dataSize = bytes_[position_];
      if (bytes_.size() - position_ - 2 < dataSize) return std::nullopt;
      position_ += 2 + dataSize;
      return Item{.type = 3, .tag = 0, .unsignedValue = 0, .signedValue = 0, .size = dataSize};
    }
    const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
    if (bytes_.size() - position_ < size) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= std::uint32_t{bytes_[position_ + i]} << (8 * i);
    position_ += size;
    std::int64_t signedValue = value;
    if (size > 0 && (value >> (8 * size - 1) & 1)) signedValue -= std::int64_t{1} << (8 * size);
    return Item{.type = static_cast<std::uint8_t>(prefix >> 2 & 3),
                .tag = static_cast<std::uint8_t>(prefix >> 4),
                .unsignedValue = value,
                .signedValue = signedValue,
                .size = size};
  }

  bool fail(std::string why) {
    why_ = std::move(why);
    return false;
  }

  bool apply(const Item& item) {
    switch (item.type) {
      case kMain:
        return applyMain(item);
      case kGlobal:
        return applyGlobal(item);
      case kLocal:
        return applyLocal(item);
      default:
        return true;
    }
  }

  bool applyGlobal(const Item& item) {
    switch (item.tag) {
      case kUsagePage:
        globals_.usagePage = static_cast<std::uint16_t>(item.unsignedValue);
        break;
      case kLogicalMinimum:
        globals_.logicalMinimum = item.signedValue;
        break;
      case kLogicalMaximum:
        globals_.logicalMaximum = item.signedValue;
        globals_.logicalMaximumUnsigned = item.unsignedValue;
        break;
      case kReportSize:
        if (item.unsignedValue > kMaxReportSize) return fail("report size " + std::to_string(item.unsignedValue));
        globals_.reportSize = item.unsignedValue;
        break;
      case kReportCount:
        if (item.unsignedValue > kMaxReportCount) return fail("report count " + std::to_string(item.unsignedValue));
        globals_.reportCount = item.unsignedValue;
        break;
      case kReportID:
        if (item.unsignedValue == 0 || item.unsignedValue > 0xFF) {
          return fail("report ID " + std::to_string(item.unsignedValue));
        }
        globals_.reportID = static_cast<std::uint8_t>(item.unsignedValue);
        break;
      case kPush:
        if (stack_.size() == kMaxPushDepth) return fail("push nested too deep");
        stack_.push_back(globals_);
        break;
      case kPop:
        if (stack_.empty()) return fail("pop without push");
        globals_ = stack_.back();
        stack_.pop_back();
        break;
      default:
        break;  // physical range, units: not needed to address a control
    }
    return true;
  }

  bool applyLocal(const Item& item) {
    const bool extended = item.size == 4;
    switch (item.tag) {
      case kUsage:
        if (usages_.size() == kMaxLocalUsages) return fail("too many usages");
        usages_.push_back({item.unsignedValue, extended});
        break;
      case kUsageMinimum:
        usageMinimum_ = LocalUsage{item.unsignedValue, extended};
        break;
      case kUsageMaximum:
        // A range stands for its usages in order; only as many as fields follow are kept.
        if (!usageMinimum_ || usageMinimum_->value > item.unsignedValue) return fail("usage range without minimum");
        for (std::uint64_t u = usageMinimum_->value; u <= item.unsignedValue; ++u) {
          if (usages_.size() == kMaxLocalUsages) break;
          usages_.push_back({static_cast<std::uint32_t>(u), usageMinimum_->extended});
        }
        usageMinimum_.reset();
        break;
      default:
        break;  // designators, strings, delimiters
    }
    return true;
  }

  std::uint32_t fullUsage(const LocalUsage& local) const {
    return local.extended ? local.value : usage(globals_.usagePage, static_cast<std::uint16_t>(local.value));
  }

  bool applyMain(const Item& item) {
    bool accepted = true;
    switch (item.tag) {
      case kCollection:
        if (collections_.size() == kMaxCollectionDepth) return fail("collections nested too deep");
        collections_.push_back(
            {static_cast<std::uint8_t>(item.unsignedValue), usages_.empty() ? 0 : fullUsage(usages_.front())});
        break;
      case kEndCollection:
        if (collections_.empty()) return fail("end of a collection never opened");
        collections_.pop_back();
        break;
      case kFeature:
        accepted = addFeature(item.unsignedValue);
        break;
      default:
        break;  // input and output reports do not hold controls we set
    }
    usages_.clear();
    usageMinimum_.reset();
    return accepted;
  }

  bool addFeature(std::uint32_t flags) {
    std::size_t& bits = featureBits_[globals_.reportID];
    const std::size_t offset = bits;
    bits += std::size_t{globals_.reportSize} * globals_.reportCount;
    if (bits > 8 * (kMaxReportBytes - 1))
      return fail("feature report " + std::to_string(globals_.reportID) + " too long");
    if ((flags & kConstantBit) || !(flags & kVariableBit) || usages_.empty()) return true;

    // Descriptors often write an unsigned maximum in as few bytes as it takes,
    // which reads negative; with a non-negative minimum it can only mean that.
    const std::int64_t maximum = globals_.logicalMinimum >= 0 && globals_.logicalMaximum < 0
                                     ? globals_.logicalMaximumUnsigned
                                     : globals_.logicalMaximum;
    std::uint32_t application = 0;
    for (auto it = collections_.rbegin(); it != collections_.rend(); ++it) {
      if (it->type == kApplicationCollection) {
        application = it->usage;
        break;
      }
    }
    const std::size_t firstOfItem = features_.size();
    for (std::uint32_t i = 0; i < globals_.reportCount; ++i) {
      // Fields past the last usage share it.
      const std::uint32_t fieldUsage = fullUsage(usages_[std::min<std::size_t>(i, usages_.size() - 1)]);
      if (features_.size() > firstOfItem && features_.back().usage == fieldUsage) {
        ++features_.back().count;
        continue;
      }
      features_.push_back({.usage = fieldUsage,
                           .applicationUsage = application,
                           .reportID = globals_.reportID,
                           .bitOffset = static_cast<std::uint32_t>(offset + std::size_t{i} * globals_.reportSize),
                           .bitSize = globals_.reportSize,
                           .count = 1,
                           .logicalMinimum = globals_.logicalMinimum,
                           .logicalMaximum = maximum,
                           .reportLength = 0});
    }
    return true;
  }

  struct Collection {
    std::uint8_t type;
    std::uint32_t usage;
  };

  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
  Globals globals_;
  std::vector<Globals> stack_;
  std::vector<LocalUsage> usages_;
  std::optional<LocalUsage> usageMinimum_;
  std::vector<Collection> collections_;
  std::vector<FeatureControl> features_;
  std::map<std::uint8_t, std::size_t> featureBits_;
  std::optional<std::string> why_;
};

}  // namespace

ReportDescriptor parseReportDescriptor(std::span<const std::uint8_t> bytes) { return Parser(bytes).run(); }

std::optional<FeatureControl> monitorControl(const ReportDescriptor& descriptor, std::uint32_t wanted) {
  for (const FeatureControl& control : descriptor.features) {
    if (control.usage == wanted && control.applicationUsage == kMonitorControlUsage) return control;
  }
  return std::nullopt;
}

}  // namespace lumaro::hid
