#include "pack/FolderDescription.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "framework/media/AsciiCase.h"
#include "framework/media/Exceptions.h"
#include "items/JPEGImage.h"
#include "pack/FolderScan.h"
#include "references/Database.h"

using namespace NSFerryman;

namespace {

constexpr std::uint32_t kAlertNoSplash = 10;
constexpr std::uint32_t kAlertBadSplash = 11;


// The four texts as the description files set them; unset ones stay empty.
struct CTexts {
  std::string name, comments, url, copyright;
};

std::string* TextOfKey(CTexts& texts, const std::string& upperKey) {
  if (upperKey == "NAME") return &texts.name;
  if (upperKey == "COMMENTS") return &texts.comments;
  if (upperKey == "URL") return &texts.url;
  if (upperKey == "COPYRIGHT") return &texts.copyright;
  return nullptr;
}

// The text that a whole-text file sets (NAME.TXT the text of the key NAME, and so on), or null.
std::string* TextOfFileName(CTexts& texts, const std::string& upperName) {
  constexpr std::string_view kSuffix = ".TXT";
  if (!upperName.ends_with(kSuffix)) return nullptr;
  return TextOfKey(texts, upperName.substr(0, upperName.size() - kSuffix.size()));
}

std::string ReadWholeText(const CFileEntry& entry) {
  const std::unique_ptr<CMedia> media = entry.GetItem().Open();
  const MediaSize size = media->GetSize();
  if (size > kMaxDescriptionTextSize) {
    throw XBadFormat("\"" + entry.GetRelativePath() + "\" holds " + std::to_string(size) +
                     " bytes; a description text may hold at most " + std::to_string(kMaxDescriptionTextSize));
  }
  std::string text(static_cast<std::size_t>(size), '\0');
  if (size > 0) media->ReadAt(0, text.size(), text.data());
  return text;
}

// Sets the texts whose INFO.TXT value is not empty; of several pairs with one key the last counts.
void ApplyInfoText(const std::string& text, CTexts& texts) {
  CTexts parsed;
  for (auto& [key, value] : ParseInfoText(text)) {
    if (auto* target = TextOfKey(parsed, AsciiUpperCopy(key))) *target = std::move(value);
  }
  for (auto member : {&CTexts::name, &CTexts::comments, &CTexts::url, &CTexts::copyright}) {
    if (!(parsed.*member).empty()) texts.*member = std::move(parsed.*member);
  }
}

void CheckSplash(const CFileEntry& entry, MAlertHost& alerts,
                 const std::function<void(const CBitmap32&)>& splashPreview) {
  const CSplashPicture splash = ReadSplashPicture(entry);
  if (!splash.problem.empty()) {
    const std::string cause = "\"" + entry.GetRelativePath() + "\": " + splash.problem;
    ShowAlert(alerts, AlertId(kApplicationResources, kAlertBadSplash),
              {std::to_string(kSplashWidth), std::to_string(kSplashHeight)}, cause);
    throw XAlertAlreadyShown("bad splash " + cause);
  }
  if (splashPreview) splashPreview(splash.bitmap);
}

}  // namespace

CHamperDescription ReadInputFolderDescription(CDatabase& database, const NSFerryman::CDirSpec& folder,
                                              MAlertHost* alerts,
                                              const std::function<void(const CBitmap32&)>& splashPreview) {
  CDatabaseScope scope(database);
  const CNavigationHolder item = database.ItemForPath(folder.GetPath());
  if (!item || !item->IsContainer() || !item->IsAvailable()) {
    throw XFileNotFound(folder.GetPath() + ": there is no such folder");
  }
  CFileEntryList topLevel = ListTopLevel(CItemReference(item));
  if (!alerts) return ReadDescriptionFiles(topLevel).description;
  return ReadFolderDescription(topLevel, *alerts, splashPreview);
}

CSplashPicture ReadSplashPicture(const CFileEntry& entry) {
  CSplashPicture splash;
  try {
    const std::unique_ptr<CMedia> media = entry.GetItem().Open();
    splash.bitmap = DecodeJPEGBitmap(*media, kSplashWidth, kSplashHeight);
    if (splash.bitmap.width != kSplashWidth || splash.bitmap.height != kSplashHeight) {
      splash.problem = std::to_string(splash.bitmap.width) + " x " + std::to_string(splash.bitmap.height) +
                       " pixels, not " + std::to_string(kSplashWidth) + " x " + std::to_string(kSplashHeight);
    }
  } catch (const XBadFormat& e) {
    splash.problem = e.what();
  }
  return splash;
}

bool IsDescriptionFileName(const std::string& upperName) {
  CTexts texts;
  return upperName == "INFO.TXT" || upperName == "SPLASH.JPG" || TextOfFileName(texts, upperName) != nullptr;
}

CDescriptionFiles ReadDescriptionFiles(CFileEntryList& topLevel) {
  CTexts texts;
  CDescriptionFiles result;
  for (auto it = topLevel.begin(); it != topLevel.end();) {
    const CFileEntry& entry = **it;
    const std::string& name = entry.GetSortKey();
    if (entry.IsFolder()) {
      ++it;
    } else if (name == "SPLASH.JPG") {
      if (!result.splash) result.splash = &entry;
      result.splashes.push_back(&entry);
      ++it;
    } else if (name == "INFO.TXT") {
      ApplyInfoText(ReadWholeText(entry), texts);
      it = topLevel.erase(it);
    } else if (auto* text = TextOfFileName(texts, name)) {
      *text = NormaliseDescriptionText(ReadWholeText(entry));
      it = topLevel.erase(it);
    } else {
      ++it;
    }
  }
  result.description = CHamperDescription(std::move(texts.name), std::move(texts.comments), std::move(texts.url),
                                          std::move(texts.copyright));
  return result;
}

CHamperDescription ReadFolderDescription(CFileEntryList& topLevel, MAlertHost& alerts,
                                         const std::function<void(const CBitmap32&)>& splashPreview) {
  CDescriptionFiles files = ReadDescriptionFiles(topLevel);
  if (!files.splash) {
    ShowAlert(alerts, AlertId(kApplicationResources, kAlertNoSplash));
    throw XAlertAlreadyShown("no splash in the input folder");
  }
  // The first is the one shown: a reader that ignores letter case finds it first.
  for (const CFileEntry* splash : files.splashes) {
    CheckSplash(*splash, alerts, splash == files.splash ? splashPreview : nullptr);
  }
  return files.description;
}

std::vector<std::pair<std::string, std::string>> ParseInfoText(std::string_view text) {
  enum class EState { kBetween, kKey, kBeforeValue, kValue };
  std::vector<std::pair<std::string, std::string>> pairs;
  EState state = EState::kBetween;
  std::string key, value;
  for (const char c : text) {
    const bool lineBreak = c == '\n' || c == '\r';
    switch (state) {
      case EState::kBetween:
        if (lineBreak || c == '\t' || c == ' ') break;
        key.assign(1, c);
        state = EState::kKey;
        break;
      case EState::kKey:
        if (lineBreak || c == ' ' || c == '=') {
          state = EState::kBeforeValue;
        } else {
          key += c;
        }
        break;
      case EState::kBeforeValue:
        if (c == '"') {
          value.clear();
          state = EState::kValue;
        }
        break;
      case EState::kValue:
        if (c == '"') {
          pairs.emplace_back(NormaliseDescriptionText(key), NormaliseDescriptionText(value));
          state = EState::kBetween;
        } else if (!lineBreak) {
          value += c;
        }
        break;
    }
  }
  return pairs;
}

std::string NormaliseDescriptionText(std::string_view text) {
  const bool crStyle = text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos;
  const std::string_view kept = text.substr(0, text.find('\0'));
  std::string result;
  if (crStyle) {
    // Every carriage return is widened, however many there are: capping the growth would join
    // the later lines of a long text.
    result.reserve(kept.size() + static_cast<std::size_t>(std::count(kept.begin(), kept.end(), '\r')));
    for (const char c : kept) {
      result += c;
      if (c == '\r') result += '\n';
    }
  } else {
    result = kept;
  }
  while (!result.empty() && (result.back() == '\r' || result.back() == '\n')) result.pop_back();
  return result;
}
