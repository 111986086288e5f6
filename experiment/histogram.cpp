#include "experiment/histogram.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestravin {

void ValueHistogram::insert(std::int32_t key, std::uint32_t count) {
  const auto at = std::lower_bound(bins_.begin(), bins_.end(), key,
                                   [](const Bin& bin, std::int32_t k) { return bin.key < k; });
  if (at != bins_.end() && at->key == key) {
    at->count += count;
  } else {
    bins_.insert(at, Bin{key, count});
  }
}

void ValueHistogram::widen(int shift) {
  if (shift <= shift_) return;
  const int by = shift - shift_;
  std::size_t out = 0;
  for (const Bin& bin : bins_) {
    const std::int32_t key = bin.key >> by;
    if (out > 0 && bins_[out - 1].key == key) {
      bins_[out - 1].count += bin.count;
    } else {
      bins_[out++] = Bin{key, bin.count};
    }
  }
  bins_.resize(out);
  shift_ = static_cast<std::uint8_t>(shift);
}

void ValueHistogram::add(std::int32_t value, std::uint32_t count) {
  sum_ += std::int64_t{value} * count;
  insert(value >> shift_, count);
  while (bins_.size() > kMaxBins) widen(shift_ + 1);
}

void ValueHistogram::merge(const ValueHistogram& other) {
  widen(other.shift_);
  const int by = shift_ - other.shift_;
  for (const Bin& bin : other.bins_) insert(bin.key >> by, bin.count);
  sum_ += other.sum_;
  while (bins_.size() > kMaxBins) widen(shift_ + 1);
}

std::uint64_t ValueHistogram::count() const {
  std::uint64_t n = 0;
  for (const Bin& bin : bins_) n += bin.count;
  return n;
}

double ValueHistogram::orderStatistic(std::uint64_t rank) const {
  std::uint64_t before = 0;
  for (const Bin& bin : bins_) {
    if (rank < before + bin.count) {
      const double low = std::ldexp(static_cast<double>(bin.key), shift_);
      if (shift_ == 0) return low;
      const double width = std::ldexp(1.0, shift_) - 1.0;
      return low + width * (static_cast<double>(rank - before) + 0.5) / bin.count;
    }
    before += bin.count;
  }
  return std::numeric_limits<double>::quiet_NaN();
}

double ValueHistogram::quantile(double q) const {
  const std::uint64_t n = count();
  if (n == 0) return std::numeric_limits<double>::quiet_NaN();
  const double h = q * static_cast<double>(n - 1);
  const auto below = static_cast<std::uint64_t>(std::floor(h));
  const double low = orderStatistic(below);
  if (below + 1 >= n) return low;
  return low + (h - static_cast<double>(below)) * (orderStatistic(below + 1) - low);
}

void ValueHistogram::encode(ByteWriter& out) const {
  out.put(shift_);
  out.put(sum_);
  out.put(static_cast<std::uint32_t>(bins_.size()));
  for (const Bin& bin : bins_) {
    out.put(bin.key);
    out.put(bin.count);
  }
}

ValueHistogram ValueHistogram::decode(ByteReader& in) {
  ValueHistogram h;
  h.shift_ = in.get<std::uint8_t>();
  h.sum_ = in.get<std::int64_t>();
  const auto n = in.get<std::uint32_t>();
  if (n > kMaxBins) throw std::runtime_error("a histogram with too many bins");
  h.bins_.reserve(n);
  for (std::uint32_t k = 0; k < n; ++k) {
    const auto key = in.get<std::int32_t>();
    h.bins_.push_back(Bin{key, in.get<std::uint32_t>()});
  }
  return h;
}

}  // namespace kestravin
