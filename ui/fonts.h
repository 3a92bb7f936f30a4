#pragma once
// The Korean font of the game's texts: found once through fontconfig, opened with
// SDL_ttf at the pixel sizes asked for and kept open for the program's life.
//
// NanumGothic (with NanumGothicBold for bold text) is preferred; any other installed font
// that covers Korean serves when it is missing, emboldened by SDL_ttf when it has no
// bold face of its own.

#include <SDL_ttf.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace hw {

// No installed font covers Korean: the program cannot show its texts.
class FontNotFound : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One installed face that covers Korean, as fontconfig lists it.
struct FontFace {
  std::string File;
  std::vector<std::string> Families;  // every family name it carries (Latin and Korean)
  int Weight = 80;                    // fontconfig's scale: 80 regular, 200 bold
  int Slant = 0;                      // 0 upright
};

// The files of the regular and the bold face. Without a bold face of the same family,
// Bold is empty and bold text is emboldened from the regular face.
struct KoreanFontFiles {
  std::string Regular;
  std::string Bold;
};

// What a text is for decides its face: the game's texts are set in NanumGothic; small
// print (the message log, at 10 pixels) in NanumBarunGothic, whose hinting keeps Korean
// crisp and its brackets and bold weight distinct at that size.
enum class FontRole { kText, kSmallPrint };
constexpr const char* PreferredFamily(FontRole role) {
  return role == FontRole::kSmallPrint ? "NanumBarunGothic" : "NanumGothic";
}

// Picks the faces from the listed ones: the preferred family's regular and bold when
// present, else NanumGothic's, else the upright face nearest to regular weight (first by
// file name when several tie) and the bold face of its family. Throws FontNotFound when
// the list is empty.
KoreanFontFiles ChooseKoreanFaces(const std::vector<FontFace>& faces,
                                  std::string_view preferred = "NanumGothic");

// Owns SDL_ttf and fontconfig for as long as it lives (both are counted, so several
// libraries may live at once) and every font it opened.
class FontLibrary {
 public:
  // Looks up the font; throws FontNotFound when there is none, or std::runtime_error when
  // SDL_ttf or fontconfig cannot start.
  FontLibrary();
  ~FontLibrary();
  FontLibrary(const FontLibrary&) = delete;
  FontLibrary& operator=(const FontLibrary&) = delete;

  const KoreanFontFiles& Files(FontRole role = FontRole::kText) const {
    return role == FontRole::kSmallPrint ? smallPrint_ : files_;
  }

  // The font at this pixel size (the em height), regular or bold; opened on first use
  // and owned by the library. Throws std::runtime_error when the file cannot be opened.
  TTF_Font* Get(int pixelSize, bool bold, FontRole role = FontRole::kText);
  // The same, or nullptr when the font cannot be opened: text drawn with it is left out.
  TTF_Font* GetOrNull(int pixelSize, bool bold, FontRole role = FontRole::kText) noexcept;

 private:
  class TtfSession;
  class FontconfigSession;
  struct FontCloser {
    void operator()(TTF_Font* font) const { TTF_CloseFont(font); }
  };

  // Declared before the fonts: the fonts close first, then SDL_ttf and fontconfig end.
  std::unique_ptr<FontconfigSession> fontconfig_;
  std::unique_ptr<TtfSession> ttf_;
  KoreanFontFiles files_;
  KoreanFontFiles smallPrint_;
  std::map<std::tuple<FontRole, int, bool>, std::unique_ptr<TTF_Font, FontCloser>> fonts_;
};

}  // namespace hw
