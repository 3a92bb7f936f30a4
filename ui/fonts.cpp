#include "ui/fonts.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <tuple>

namespace hw {

namespace {

constexpr std::string_view kPreferredFamily = "NanumGothic";

bool HasFamily(const FontFace& face, std::string_view family) {
  return std::find(face.Families.begin(), face.Families.end(), family) != face.Families.end();
}

// Among the upright faces that pass `keep`, the one whose weight is nearest `weight`;
// the file name decides between equals, so the choice never depends on listing order.
template <typename Keep>
const FontFace* Nearest(const std::vector<FontFace>& faces, int weight, Keep keep) {
  const FontFace* best = nullptr;
  auto rank = [weight](const FontFace& f) {
    return std::make_tuple(std::abs(f.Weight - weight), std::string_view(f.File));
  };
  for (const auto& face : faces) {
    if (face.Slant != 0 || !keep(face)) continue;
    if (best == nullptr || rank(face) < rank(*best)) best = &face;
  }
  return best;
}

constexpr int kRegularWeight = FC_WEIGHT_REGULAR;
constexpr int kBoldWeight = FC_WEIGHT_BOLD;

KoreanFontFiles FacesOfFamily(const std::vector<FontFace>& faces, const FontFace& regular,
                              std::string_view family) {
  KoreanFontFiles files{regular.File, {}};
  const FontFace* bold = Nearest(faces, kBoldWeight, [&](const FontFace& f) {
    return f.Weight >= kBoldWeight && HasFamily(f, family);
  });
  if (bold != nullptr && bold->File != regular.File) files.Bold = bold->File;
  return files;
}

// ---- fontconfig objects, each released by its own destroy function

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetDeleter {
  void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

std::vector<FontFace> ListKoreanFaces() {
  std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
  std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
      FcObjectSetBuild(FC_FILE, FC_FAMILY, FC_WEIGHT, FC_SLANT, nullptr));
  if (!pattern || !objects) return {};
  FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ko"));
  // SDL_ttf needs outlines; bitmap-only fonts are left out.
  FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
  std::unique_ptr<FcFontSet, FontSetDeleter> set(FcFontList(nullptr, pattern.get(), objects.get()));
  if (!set) return {};

  std::vector<FontFace> faces;
  for (int i = 0; i < set->nfont; ++i) {
    FcPattern* font = set->fonts[i];
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
    FontFace face;
    face.File = reinterpret_cast<const char*>(file);
    FcChar8* family = nullptr;
    for (int n = 0; FcPatternGetString(font, FC_FAMILY, n, &family) == FcResultMatch; ++n)
      face.Families.emplace_back(reinterpret_cast<const char*>(family));
    FcPatternGetInteger(font, FC_WEIGHT, 0, &face.Weight);
    FcPatternGetInteger(font, FC_SLANT, 0, &face.Slant);
    faces.push_back(std::move(face));
  }
  return faces;
}

}  // namespace

KoreanFontFiles ChooseKoreanFaces(const std::vector<FontFace>& faces, std::string_view preferred) {
  for (const std::string_view family : {preferred, kPreferredFamily}) {
    const FontFace* regular = Nearest(faces, kRegularWeight, [family](const FontFace& f) {
      return f.Weight < kBoldWeight && HasFamily(f, family);
    });
    if (regular != nullptr) return FacesOfFamily(faces, *regular, family);
  }

  const FontFace* any = Nearest(faces, kRegularWeight, [](const FontFace&) { return true; });
  if (any == nullptr)
    throw FontNotFound(
        "No font with Korean letters is installed (fontconfig lists none for lang=ko); "
        "install fonts-nanum");
  if (any->Families.empty()) return {any->File, {}};
  return FacesOfFamily(faces, *any, any->Families.front());
}

// SDL_ttf counts its own initialisations.
class FontLibrary::TtfSession {
 public:
  TtfSession() {
    if (TTF_Init() != 0) throw std::runtime_error(std::string("SDL_ttf: ") + TTF_GetError());
  }
  ~TtfSession() { TTF_Quit(); }
  TtfSession(const TtfSession&) = delete;
  TtfSession& operator=(const TtfSession&) = delete;
};

// fontconfig does not count: the last session to end calls FcFini (the program runs on
// one thread, so a plain counter serves).
class FontLibrary::FontconfigSession {
 public:
  FontconfigSession() {
    if (users_ == 0 && !FcInit()) throw std::runtime_error("fontconfig could not start");
    ++users_;
  }
  ~FontconfigSession() {
    if (--users_ == 0) FcFini();
  }
  FontconfigSession(const FontconfigSession&) = delete;
  FontconfigSession& operator=(const FontconfigSession&) = delete;

 private:
  static inline int users_ = 0;
};

FontLibrary::FontLibrary()
    : fontconfig_(std::make_unique<FontconfigSession>()), ttf_(std::make_unique<TtfSession>()) {
  const std::vector<FontFace> faces = ListKoreanFaces();
  files_ = ChooseKoreanFaces(faces, PreferredFamily(FontRole::kText));
  smallPrint_ = ChooseKoreanFaces(faces, PreferredFamily(FontRole::kSmallPrint));
}

FontLibrary::~FontLibrary() = default;

TTF_Font* FontLibrary::Get(int pixelSize, bool bold, FontRole role) {
  const auto key = std::make_tuple(role, pixelSize, bold);
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second.get();

  const KoreanFontFiles& files = Files(role);
  const bool ownBoldFace = bold && !files.Bold.empty();
  const std::string& file = ownBoldFace ? files.Bold : files.Regular;
  std::unique_ptr<TTF_Font, FontCloser> font(TTF_OpenFont(file.c_str(), pixelSize));
  if (!font) throw std::runtime_error("Cannot open the font " + file + ": " + TTF_GetError());
  if (bold && !ownBoldFace) TTF_SetFontStyle(font.get(), TTF_STYLE_BOLD);
  return fonts_.emplace(key, std::move(font)).first->second.get();
}

TTF_Font* FontLibrary::GetOrNull(int pixelSize, bool bold, FontRole role) noexcept {
  try {
    return Get(pixelSize, bold, role);
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace hw
