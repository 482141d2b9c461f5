#include "option/skin/skin_folder.h"

#include <QImageReader>
#include <QString>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "option/skin/skin_picture.h"

namespace mt {
namespace {

std::string ascii_lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// The name's folders and file, or nothing for a name that is empty, absolute
// or climbs out of the skin folder.
bool split_name(std::string_view name, std::vector<std::string>& parts) {
  parts.clear();
  if (name.empty() || name.front() == '/' || name.front() == '\\') return false;
  std::string part;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    const char c = i < name.size() ? name[i] : '/';
    if (c == '/' || c == '\\') {
      if (part == "..") return false;
      if (!part.empty() && part != ".") parts.push_back(part);
      part.clear();
    } else if (c == '\0') {
      return false;
    } else {
      part.push_back(c);
    }
  }
  return !parts.empty();
}

// "name.ext" -> "name@2x.ext"; "name" -> "name@2x".
std::string double_size_name(std::string_view name) {
  const std::size_t slash = name.find_last_of("/\\");
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    return std::string(name) + "@2x";
  return std::string(name.substr(0, dot)) + "@2x" + std::string(name.substr(dot));
}

QSize header_size(const std::string& path) {
  QImageReader reader(QString::fromStdString(path));
  reader.setDecideFormatFromContent(true);
  return reader.size();
}

SkinPicture decode(const std::string& path, qreal ratio) {
  SkinPicture out;
  if (path.empty()) return out;
  QImageReader reader(QString::fromStdString(path));
  reader.setDecideFormatFromContent(true);
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) {
    out.status = SkinPictureStatus::unreadable;
    return out;
  }
  if (size.width() > SkinFolder::kMaxPictureSide || size.height() > SkinFolder::kMaxPictureSide) {
    out.status = SkinPictureStatus::too_large;
    return out;
  }
  QImage image = reader.read();
  if (image.isNull() || image.width() > SkinFolder::kMaxPictureSide ||
      image.height() > SkinFolder::kMaxPictureSide) {
    out.status = SkinPictureStatus::unreadable;
    return out;
  }
  // One pixel layout for every picture: opaque ones paint fastest as RGB32.
  image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                        : QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  out.image = std::move(image);
  out.status = SkinPictureStatus::ok;
  return out;
}

}  // namespace

const QImage& SkinCuts::state(SkinState s) const {
  switch (s) {
    case SkinState::over: return over;
    case SkinState::down: return down;
    case SkinState::disable: return disable;
    case SkinState::normal: break;
  }
  return normal;
}

const QImage& SkinPictureSet::state(SkinState s) const {
  switch (s) {
    case SkinState::over: return over;
    case SkinState::down: return down;
    case SkinState::disable: return disable;
    case SkinState::normal: break;
  }
  return normal;
}

SkinCuts SkinPictureSet::cuts(const QRect& logical) const {
  return SkinCuts{cut_picture(normal, logical), cut_picture(over, logical), cut_picture(down, logical),
                  cut_picture(disable, logical)};
}

struct SkinFolder::Impl {
  // Folder path (actual spelling) -> lower-case entry name -> actual names,
  // sorted, so a choice between spellings never depends on readdir order.
  using Listing = std::unordered_map<std::string, std::vector<std::string>>;
  mutable std::unordered_map<std::string, Listing> listings;
  std::unordered_map<std::string, SkinPicture> pictures;
  std::unordered_map<std::string, SkinMask> masks;

  const Listing& listing(const std::string& dir) const {
    auto it = listings.find(dir);
    if (it != listings.end()) return it->second;
    Listing l;
    std::error_code ec;
    for (std::filesystem::directory_iterator d(dir, ec), end; !ec && d != end; d.increment(ec))
      l[ascii_lower(d->path().filename().string())].push_back(d->path().filename().string());
    for (auto& [key, names] : l) std::sort(names.begin(), names.end());
    return listings.emplace(dir, std::move(l)).first->second;
  }
};

SkinFolder::SkinFolder(std::string folder) : folder_(std::move(folder)), impl_(std::make_unique<Impl>()) {
  if (!folder_.empty() && folder_.back() != '/') folder_.push_back('/');
}

SkinFolder::~SkinFolder() = default;

std::string SkinFolder::skins_path(std::string_view program_folder) {
  std::string p(program_folder);
  if (!p.empty() && p.back() != '/') p.push_back('/');
  return p + "Skins/";
}

void SkinFolder::set_device_pixel_ratio(double ratio) { ratio_ = ratio > 0 ? ratio : 1.0; }

std::string SkinFolder::find(std::string_view name) const {
  std::vector<std::string> parts;
  if (!split_name(name, parts)) return std::string();
  std::string path = folder_;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const Impl::Listing& l = impl_->listing(path);
    auto it = l.find(ascii_lower(parts[i]));
    if (it == l.end()) return std::string();
    const std::vector<std::string>& names = it->second;
    const auto exact = std::find(names.begin(), names.end(), parts[i]);
    const std::string chosen = *(exact != names.end() ? exact : names.begin());
    path += chosen;
    std::error_code ec;
    const bool last = i + 1 == parts.size();
    if (last ? !std::filesystem::is_regular_file(path, ec) : !std::filesystem::is_directory(path, ec))
      return std::string();
    if (!last) path.push_back('/');
  }
  return path;
}

std::string SkinFolder::picture_key(std::string_view name) const {
  return (ratio_ >= 1.5 ? "2x:" : "1x:") + ascii_lower(name);
}

SkinFolder::PictureFiles SkinFolder::picture_files(std::string_view name) const {
  PictureFiles f;
  f.path = find(name);
  if (ratio_ >= 1.5 && !f.path.empty()) f.path2 = find(double_size_name(name));
  return f;
}

SkinPicture SkinFolder::decode_files(const PictureFiles& f) {
  if (!f.path2.empty()) {
    const QSize s1 = header_size(f.path);
    const QSize s2 = header_size(f.path2);
    if (s1.isValid() && s2 == s1 * 2) {
      SkinPicture pic = decode(f.path2, 2.0);
      if (pic.ok()) return pic;
    }
  }
  return decode(f.path, 1.0);
}

const SkinPicture& SkinFolder::picture(std::string_view name) {
  const std::string key = picture_key(name);
  auto it = impl_->pictures.find(key);
  if (it != impl_->pictures.end()) return it->second;
  return impl_->pictures.emplace(key, decode_files(picture_files(name))).first->second;
}

void SkinFolder::preload(const std::vector<std::string>& names) {
  // Names are resolved here, on the caller's thread (the folder listings are
  // not shared); only the decoding, which touches nothing of ours, runs on
  // the worker threads.
  std::vector<std::pair<std::string, PictureFiles>> todo;
  for (const std::string& n : names) {
    std::string key = picture_key(n);
    if (n.empty() || impl_->pictures.count(key)) continue;
    if (std::any_of(todo.begin(), todo.end(), [&](const auto& t) { return t.first == key; })) continue;
    todo.emplace_back(std::move(key), picture_files(n));
  }
  if (todo.empty()) return;
  std::vector<SkinPicture> done(todo.size());
  const unsigned workers = std::min<unsigned>(static_cast<unsigned>(todo.size()),
                                              std::max(1u, std::thread::hardware_concurrency()));
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < todo.size(); i = next++) done[i] = decode_files(todo[i].second);
  };
  std::vector<std::thread> threads;
  for (unsigned i = 1; i < workers; ++i) threads.emplace_back(work);
  work();
  for (std::thread& t : threads) t.join();
  for (std::size_t i = 0; i < todo.size(); ++i) impl_->pictures.emplace(todo[i].first, std::move(done[i]));
}

const SkinMask& SkinFolder::mask(std::string_view name) {
  const std::string key = ascii_lower(name);
  auto it = impl_->masks.find(key);
  if (it != impl_->masks.end()) return it->second;
  // Masks are read at 1x and not kept as pictures: once the region exists
  // the picture has done its work.
  SkinPicture pic = decode(find(name), 1.0);
  SkinMask m;
  m.status = pic.status;
  if (pic.ok()) {
    m.size = pic.image.size();
    m.region = mask_to_region(pic.image);
  }
  return impl_->masks.emplace(key, std::move(m)).first->second;
}

SkinDescription SkinFolder::description(std::string_view name, std::u16string_view placement_section) const {
  const std::string path = find(name);
  if (path.empty()) return SkinDescription(platform::IniDocument(), placement_section,
                                           SkinDescription::Status::missing);
  platform::IniDocument doc;
  const auto status = doc.load_checked(path);
  if (status != platform::IniDocument::LoadStatus::ok)
    return SkinDescription(platform::IniDocument(), placement_section,
                           status == platform::IniDocument::LoadStatus::missing
                               ? SkinDescription::Status::missing
                               : SkinDescription::Status::failed);
  return SkinDescription(std::move(doc), placement_section, SkinDescription::Status::ok);
}

SkinPictureSet SkinFolder::window_pictures(const SkinPictureNames& names) {
  preload({names.normal, names.over, names.down, names.disable});
  SkinPictureSet set;
  const SkinPicture& normal = picture(names.normal);
  if (normal.ok()) {
    set.normal = normal.image;
    set.size = logical_size(normal.image);
  }
  auto state = [&](const std::string& name) -> QImage {
    if (name.empty() || set.normal.isNull()) return set.normal;
    const SkinPicture& p = picture(name);
    if (!p.ok() || (!set.normal.isNull() && logical_size(p.image) != set.size)) return set.normal;
    return p.image;
  };
  set.over = state(names.over);
  set.down = state(names.down);
  set.disable = state(names.disable);
  if (!names.mask.empty()) {
    const SkinMask& m = mask(names.mask);
    if (!m.region.isEmpty() && (set.normal.isNull() || m.size == set.size)) {
      set.mask = m.region;
      if (set.size.isEmpty()) set.size = m.size;
    }
  }
  return set;
}

void SkinFolder::release(std::string_view name) {
  const std::string lower = ascii_lower(name);
  impl_->pictures.erase("1x:" + lower);
  impl_->pictures.erase("2x:" + lower);
}

std::size_t SkinFolder::decoded_pictures() const {
  std::size_t n = 0;
  for (const auto& [key, p] : impl_->pictures) n += p.ok() ? 1 : 0;
  for (const auto& [key, m] : impl_->masks) n += m.status == SkinPictureStatus::ok ? 1 : 0;
  return n;
}

std::size_t SkinFolder::decoded_bytes() const {
  std::size_t n = 0;
  for (const auto& [key, p] : impl_->pictures) n += static_cast<std::size_t>(p.image.sizeInBytes());
  return n;
}

}  // namespace mt
