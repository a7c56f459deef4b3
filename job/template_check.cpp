#include "job/template_check.h"

#include <algorithm>
#include <set>

#include "image/picture_end.h"
#include "image/picture_header.h"
#include "image/picture_size.h"
#include "job/main_page_text.h"
#include "market/uploader.h"
#include "platform/code_page.h"
#include "platform/translation.h"
#include "support/ascii_text.h"
#include "support/file_path.h"
#include "support/fill_in.h"
#include "support/printable_text.h"
#include "support/text_conversion.h"
#include "support/url_encode.h"
#include "support/utf16.h"
#include "templates/file_listing.h"
#include "templates/template_bounds.h"
#include "templates/template_folder.h"

namespace kesto {

namespace {

// The marketplace's category name field takes this many percent-encoded bytes at most.
constexpr std::size_t kMaxEncodedCategoryName = 255;
// The page text's markers: the shop's address and the shop's number.
constexpr const char* kMarkers[] = {"{店铺URL}", "{店铺ID}"};

std::size_t CountOf(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

bool HasByteOrderMark(std::string_view bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
           bytes.starts_with("\xFE\xFF");
}

// Whether a page text without byte-order mark is UTF-8 that the system's code page reads as
// something else (modern editors save UTF-8 without a mark; a Chinese Windows reads it as GBK).
// read: the text as the system's code page gave it.
bool IsUtf8ReadOtherwise(std::string_view bytes, const std::string& read) {
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    const std::string asUtf8 = DecodeText(text, CodePage::Utf8);
    return CountOf(asUtf8, kReplacement) == CountOf(text, kReplacement) && asUtf8 != read;
}

// The picture file names a page text mentions: each run of characters that may stand in a file
// name and ends in a picture ending, without any folder or address in front of it.
std::set<std::string> PictureNamesIn(std::string_view text) {
    const auto stops = [](char c) {
        return c == '"' || c == '\'' || c == '<' || c == '>' || c == '=' || c == '(' || c == ')' ||
               c == ' ' || c == '\t' || c == '\r' || c == '\n';
    };
    std::set<std::string> names;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && !stops(text[end])) {
            ++end;
        }
        const std::string_view word = text.substr(start, end - start);
        if (HasPictureEnding(word) && word.find("://") == std::string_view::npos) {
            const std::size_t slash = word.find_last_of("/\\");
            names.emplace(word.substr(slash == std::string_view::npos ? 0 : slash + 1));
        }
        start = end + 1;
    }
    return names;
}

class Inspector {
  public:
    Inspector(const JobRequest& request, const TemplateFolder& folder)
        : request_(request), folder_(folder), root_(folder.path), bounds_(root_) {}

    std::vector<TemplateFinding> Run() {
        if (!InspectPathLength(folder_.top)) {
            // One finding for the whole template: none of its folders can be listed.
        } else if (!folder_.exists) {
            Error("template-missing", "", Translate("the template folder does not exist"));
        } else if (!folder_.isTemplate) {
            RejectFolderOfTemplates();
        } else {
            if (request_.shopSign) {
                InspectShopSign();
            }
            if (request_.mainPage) {
                InspectMainPage();
            }
            if (request_.categories) {
                InspectCategories();
            }
        }
        return std::move(findings_);
    }

  private:
    void Add(FindingSeverity severity, const char* code, std::string file, std::string text) {
        findings_.push_back({severity, std::move(file), std::move(text), code});
    }
    void Error(const char* code, std::string file, std::string text) {
        Add(FindingSeverity::kError, code, std::move(file), std::move(text));
    }
    void Warning(const char* code, std::string file, std::string text) {
        Add(FindingSeverity::kWarning, code, std::move(file), std::move(text));
    }
    void Note(const char* code, std::string file, std::string text) {
        Add(FindingSeverity::kNote, code, std::move(file), std::move(text));
    }

    // A folder whose path is longer than a listing takes gets one error naming its length, in
    // place of the findings its seemingly missing files would give. True when it is not too long.
    bool InspectPathLength(const ListedFolder& folder) {
        if (!folder.tooLong) {
            return true;
        }
        Error("path-too-long", folder.relative,
              FillIn(Translate("its path is {} characters long, more than the {} a folder's "
                               "listing takes: move the template to a folder with a shorter path"),
                     {std::to_string(Utf16Length(folder.path)),
                      std::to_string(kMaxListedFolderChars)}));
        return false;
    }

    // A folder with none of the area folders: a folder of templates, or no template at all.
    void RejectFolderOfTemplates() {
        std::string templates;
        for (const std::string& name : folder_.templatesInside) {
            templates += (templates.empty() ? "" : Translate(", ")) + name;
        }
        if (templates.empty()) {
            Error("not-a-template", "",
                  Translate("this is not a template: it has no head, main or class folder"));
        } else {
            Error("folder-of-templates", "",
                  FillIn(Translate("this folder holds templates ({}), not one template: choose one "
                                   "of them"),
                         {templates}));
        }
    }

    // An entry the job reads must be the template's own: a link may lead there, but not out of
    // the template, where it could publish any file of the user's. False when it leads out.
    bool InspectLink(const std::string& relative) {
        const std::string path = root_ + relative;
        switch (bounds_.Judge(path)) {
            case LinkVerdict::kNoLink:
            case LinkVerdict::kInside:
                return true;
            case LinkVerdict::kOutside:
                Error("outside-template", relative,
                      FillIn(Translate("links outside the template, to {}: only the template's own "
                                       "files are uploaded; copy the file into the template "
                                       "instead"),
                             {TemplateBounds::Target(path)}));
                return false;
            case LinkVerdict::kBroken:
                Error("broken-link", relative, Translate("is a link whose target cannot be found"));
                return false;
        }
        return false;
    }

    // The album cuts an uploaded picture's name at a backslash, so that the page text's name of
    // it would be replaced only in part.
    bool InspectPictureName(const std::string& relative) {
        const std::size_t separator = relative.find_last_of(kPathSeparator);
        const std::string_view name =
            std::string_view(relative).substr(separator == std::string::npos ? 0 : separator + 1);
        if (name.find('\\') != std::string_view::npos) {
            Error("backslash-in-name", relative,
                  Translate("has a '\\' in its name, which the marketplace takes for a folder "
                            "separator: rename the picture"));
            return false;
        }
        // The name goes to the marketplace in its code page: a character that code page lacks
        // would arrive as '?', and the album would hold "????.jpg".
        if (!MarketplaceCarries(name)) {
            Error("name-not-in-code-page", relative,
                  FillIn(Translate("cannot be sent: the marketplace's code page ({}) has no "
                                   "character for part of its name, which the album would get as "
                                   "'?': rename the picture"),
                         {CodePageName(CodePage::Marketplace)}));
            return false;
        }
        return true;
    }

    // A picture the job will upload: a regular file of the template's own, named so that the
    // marketplace keeps its name, that the graphics library can read. False when it is not.
    bool InspectPicture(const std::string& relative) {
        if (!InspectLink(relative) || !InspectPictureName(relative)) {
            return false;
        }
        const std::string path = root_ + relative;
        const PictureFileCheck check = CheckPictureFile(path);
        if (check != PictureFileCheck::kAccepted) {
            Error(check == PictureFileCheck::kTooLarge ? "picture-too-large" : "not-a-picture",
                  relative, Translate(DescribePictureFileCheck(check)));
            return false;
        }
        // Before the library reads it: some read a picture cut short, some refuse it.
        if (FindPictureEnd(path) == PictureEnd::kCutShort) {
            Error("picture-cut-short", relative,
                  Translate("is cut short or damaged: the file ends before its picture does, or "
                            "lacks its end marker (copy it again, or save it again from a picture "
                            "editor)"));
            return false;
        }
        const PictureSize size = ReadCheckedPictureSize(path);
        if (size.width <= 0 || size.height <= 0) {
            Error("not-a-picture", relative,
                  Translate("cannot be read as a picture (JPEG, PNG or GIF of a sane size)"));
            return false;
        }
        return true;
    }

    // The words for an entry the job leaves out; the page text's name where one is in the way.
    static std::string SkipWords(SkipReason reason, const std::string& used) {
        switch (reason) {
            case SkipReason::kFolder:
                return Translate("ignored: a folder");
            case SkipReason::kNotAPicture:
                return Translate("ignored: only jpg, jpeg and gif pictures are uploaded");
            case SkipReason::kNotThePageText:
                return FillIn(Translate("ignored: the page text is the last one listed, {}"),
                              {used});
            case SkipReason::kNotTheSignPicture:
                return FillIn(Translate("skipped: only the first shop sign picture ({}) is used"),
                              {used});
            case SkipReason::kNoSignPictureName:
                return Translate(
                    "skipped: the shop sign must be a gif, jpg or jpeg whose name has "
                    "no other '.' before its ending");
            case SkipReason::kThumbnailCache:
                return Translate("ignored");
        }
        return {};
    }

    void InspectShopSign() {
        const SignFolder& head = folder_.head;
        if (!InspectPathLength(head.folder)) {
            return;
        }
        if (!head.folder.exists) {
            Warning("no-shop-sign", "head",
                    Translate("missing: the job goes on without a shop sign"));
            return;
        }
        if (!InspectLink("head")) {
            return;
        }
        const std::string picture = head.picture ? head.picture->name : std::string();
        for (const SkippedEntry& skipped : head.skipped) {
            Warning("skipped", skipped.relative, SkipWords(skipped.reason, picture));
        }
        if (!head.picture) {
            Warning("no-shop-sign", "head",
                    Translate("holds no gif, jpg or jpeg picture: the job goes on without a shop "
                              "sign"));
            return;
        }
        if (InspectPicture(head.picture->relative)) {
            const std::uintmax_t bytes = head.picture->size;
            Note("shop-sign", head.picture->relative,
                 FillIn(bytes <= Uploader::kMaxSingleBytes
                            ? Translate("the shop sign, {} bytes, sent in one request")
                            : Translate("the shop sign, {} bytes, sent in chunks"),
                        {std::to_string(bytes)}));
        }
    }

    // What main leaves out. A folder named like a page text where main holds none is what the
    // owner meant as the text, and is named in an error; true when there was one.
    bool InspectMainSkipped(const MainFolder& main) {
        const std::string pageText = main.pageText ? main.pageText->file.name : std::string();
        bool textFolder = false;
        for (const SkippedEntry& skipped : main.skipped) {
            if (skipped.reason == SkipReason::kFolder && !main.pageText &&
                EndsWithIgnoringAsciiCase(skipped.relative, ".txt")) {
                Error("no-page-text", skipped.relative,
                      Translate("is not a regular file: main holds no page text"));
                textFolder = true;
            } else {
                Warning("skipped", skipped.relative, SkipWords(skipped.reason, pageText));
            }
        }
        return textFolder;
    }

    void InspectMainPage() {
        const MainFolder& main = folder_.main;
        if (!InspectPathLength(main.folder)) {
            return;
        }
        if (!main.folder.exists) {
            Error("no-main-folder", "main", Translate("the main page folder is missing"));
            return;
        }
        if (!InspectLink("main")) {
            return;
        }
        const bool textFolder = InspectMainSkipped(main);
        for (const TemplateFile& picture : main.pictures) {
            InspectPicture(picture.relative);
        }
        if (!main.pageText) {
            if (!textFolder) {
                Error("no-page-text", "main", Translate("holds no page text (a .txt file)"));
            }
            return;
        }
        InspectPageText(*main.pageText, main.pictures);
    }

    void InspectPageText(const PageText& page, const std::vector<TemplateFile>& pictures) {
        const std::string& relative = page.file.relative;
        if (!InspectLink(relative)) {
            return;
        }
        const FileReadResult read = page.read;
        if (read != FileReadResult::kRead) {
            Error("file-unreadable", relative,
                  read == FileReadResult::kTooLarge
                      ? FillIn(Translate("{} (at most 1 MiB)"),
                               {Translate(DescribeFileReadResult(read))})
                      : std::string(Translate(DescribeFileReadResult(read))));
            return;
        }
        const std::string& bytes = page.bytes;
        Note("encoding", relative,
             Translate(page.encoding == PageTextEncoding::kUtf8Mark
                           ? TranslatedLater("read as UTF-8 (byte-order mark)")
                       : page.encoding == PageTextEncoding::kUtf16Mark
                           ? TranslatedLater("read as UTF-16 (byte-order mark)")
                           : TranslatedLater("read in the system's code page (no byte-order "
                                             "mark)")));
        const DecodedPageText decoded = DecodeContentFile(bytes);
        if (!decoded.flaw.empty()) {
            Error("page-text-flaw", relative,
                  FillIn(Translate("{}: save it as UTF-8 with a byte-order mark"), {decoded.flaw}));
            return;
        }
        const std::string& text = decoded.text;
        if (!HasByteOrderMark(bytes) && IsUtf8ReadOtherwise(bytes, text)) {
            Error("utf8-without-mark", relative,
                  Translate("is UTF-8 without a byte-order mark, which this system reads in its "
                            "own code page: the main page would show it garbled; save it as UTF-8 "
                            "with a byte-order mark"));
            return;
        }
        // Bytes that are no text in their encoding come out as U+FFFD, which the shop would show.
        // A UTF-8 text with its mark is sent as it is, so it is decoded here only to look.
        const std::string looked =
            bytes.starts_with("\xEF\xBB\xBF") ? DecodeText(bytes.substr(3), CodePage::Utf8) : text;
        if (CountOf(looked, kReplacement) > CountOf(bytes, kReplacement)) {
            Error("page-text-flaw", relative,
                  Translate("holds bytes that are no text in the encoding it is read in: the main "
                            "page would show them as \xEF\xBF\xBD; save it as UTF-8 with a "
                            "byte-order mark"));
            return;
        }
        if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
            Error("empty-page-text", relative,
                  Translate("holds no text: the shop's main page would be emptied; leave the main "
                            "page out of the run to keep it"));
            return;
        }
        std::string markers;
        for (const char* marker : kMarkers) {
            markers += (markers.empty() ? "" : Translate(", ")) +
                       FillIn(Translate("{} {}x"), {marker, std::to_string(CountOf(text, marker))});
        }
        Note("markers", relative, FillIn(Translate("markers: {}"), {markers}));
        const std::set<std::string> named = PictureNamesIn(text);
        for (const TemplateFile& picture : pictures) {
            if (text.find(picture.name) == std::string::npos) {
                Warning("picture-not-named", picture.relative,
                        Translate("uploaded, but the page text never names it"));
            }
        }
        for (const std::string& name : named) {
            if (std::none_of(
                    pictures.begin(), pictures.end(),
                    [&name](const TemplateFile& picture) { return picture.name == name; })) {
                Warning("picture-missing", relative,
                        FillIn(Translate("names {}, which the main folder does not hold"), {name}));
            }
        }
    }

    void InspectCategoryName(const std::string& relative, const std::string& name) {
        if (name.empty()) {
            Error("no-category-name", relative,
                  Translate("has no '.' in its name: a category is named after the part before "
                            "the first '.' (name the picture like Hats.jpg)"));
        } else if (UrlEncode(ToUtf8Limited(name)).size() > kMaxEncodedCategoryName) {
            Warning("category-name-too-long", relative,
                    Translate("the category name is too long for the marketplace: it goes empty"));
        }
    }

    void InspectCategories() {
        const ClassFolder& classFolder = folder_.categories;
        if (!InspectPathLength(classFolder.folder) ||
            (classFolder.folder.exists && !InspectLink("class"))) {
            return;
        }
        if (classFolder.categories.empty()) {
            Error("no-category-folder", "class", Translate("holds no category folder"));
            return;
        }
        for (const TemplateCategory& category : classFolder.categories) {
            InspectCategory(category);
        }
    }

    void InspectCategory(const TemplateCategory& category) {
        const std::string& relative = category.folder.relative;
        if (!InspectPathLength(category.folder) || !InspectLink(relative)) {
            return;
        }
        const std::string folder = relative + kPathSeparator;
        for (const SkippedEntry& skipped : category.skipped) {
            if (skipped.reason == SkipReason::kThumbnailCache) {
                Note("skipped", skipped.relative, SkipWords(skipped.reason, {}));
            } else {
                Warning("skipped", skipped.relative, SkipWords(skipped.reason, {}));
            }
        }
        const CategoryFolder& sorted = category.tree;
        if (sorted.top.entry.empty()) {
            Error("no-top-picture", relative,
                  Translate("has no top picture (a picture whose name has no \"-\")"));
            return;
        }
        InspectPicture(folder + sorted.top.entry);
        InspectCategoryName(folder + sorted.top.entry, sorted.top.name);
        std::string tree =
            FillIn(Translate("category \"{}\" ({})"), {sorted.top.name, sorted.top.entry});
        for (const CategoryPicture& sub : sorted.subcategories) {
            InspectPicture(folder + sub.entry);
            InspectCategoryName(folder + sub.entry, sub.name);
            tree += (&sub == &sorted.subcategories.front() ? Translate(", sub-categories: ")
                                                           : Translate(", ")) +
                    FillIn(Translate("\"{}\" ({})"), {sub.name, sub.entry});
        }
        Note("category-tree", relative, tree);
    }

    const JobRequest& request_;
    const TemplateFolder& folder_;
    const std::string root_;
    const TemplateBounds bounds_;
    std::vector<TemplateFinding> findings_;
};

}  // namespace

std::vector<TemplateFinding> InspectTemplate(const JobRequest& request,
                                             const TemplateFolder& folder) {
    return Inspector(request, folder).Run();
}

std::vector<TemplateFinding> CheckTemplate(const JobRequest& request,
                                           const TemplateFolder& folder) {
    std::vector<TemplateFinding> errors = InspectTemplate(request, folder);
    std::erase_if(errors, [](const TemplateFinding& finding) {
        return finding.severity != FindingSeverity::kError;
    });
    return errors;
}

std::string FindingLine(const TemplateFinding& finding) {
    // The file's name and the names a text quotes come from the file system: a control
    // character in them must not reach a terminal or a list as it is.
    return PrintableText(finding.file.empty()
                             ? finding.text
                             : FillIn(Translate("{}: {}"), {finding.file, finding.text}));
}

}  // namespace kesto
