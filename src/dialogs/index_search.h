// The quick-run box's search over Index.dat: the file as packed buffers, the
// case-folded name scan and the file-mask matcher. No windows here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dialogs {

// Index.dat held for searching: one conversion of the file, the kept lines as ranges
// of it, and the lines' names (the file name without its last extension) folded to
// upper case and packed behind one another with a separator no line can hold.
class SearchIndex {
public:
    SearchIndex() = default;
    // Lines end at CR LF, lone CR or lone LF; a last line without an end counts.
    // Empty lines, lines holding a character below 0x20 and lines longer than
    // kMaxLine are skipped. The bytes are ANSI unless a UTF-8 or UTF-16LE mark says
    // otherwise.
    static SearchIndex Parse(std::string_view bytes);
    // A file that cannot be read is an empty index.
    static SearchIndex Load(const std::wstring& path);

    size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    std::wstring_view Line(size_t i) const { return {text_.data() + lines_[i].start, lines_[i].length}; }
    std::wstring_view FoldedName(size_t i) const;
    // The line holding the character at `offset` of the folded buffer.
    size_t LineOfFoldedOffset(size_t offset) const;
    const std::wstring& Folded() const { return folded_; }
    // Bytes held by the buffers, for the benchmark.
    size_t MemoryBytes() const;

    static constexpr size_t kMaxLine = 32767;
    static constexpr wchar_t kSeparator = L'\n';

private:
    struct Range {
        std::uint32_t start;
        std::uint32_t length;
    };
    void Add(size_t start, size_t length);

    std::wstring text_;
    std::vector<Range> lines_;
    std::wstring folded_;                     // names, each followed by kSeparator
    std::vector<std::uint32_t> nameStarts_;  // where each line's name starts in folded_
};

// Upper case as the system folds it (CharUpperBuffW), for names and typed text alike.
std::wstring FoldCase(std::wstring_view text);
// The part after the last "\", "/" or ":" with its last extension cut: ".hidden"
// has an empty name, "Report.final.doc" the name "Report.final".
std::wstring_view NameWithoutExtension(std::wstring_view path);

// "*", "?" or "[" make the text a mask.
bool HasWildcards(std::wstring_view text);
// The whole of `name` matches `mask`: "*" any run, "?" any one character, "[set]"
// one character of the set ("a-c" ranges, "!" first negates). A "[" without its
// "]" is a plain character. Both sides are compared as given: fold them first.
bool MatchesMask(std::wstring_view name, std::wstring_view mask);

// The lines whose name holds `text` ("*" + text + "*" as a mask), in file order;
// nullopt when `cancelled` answered true on the way (it is asked every few thousand
// lines). The text is folded here.
std::optional<std::vector<std::uint32_t>> FindInIndex(const SearchIndex& index, std::wstring_view text,
                                                      const std::function<bool()>& cancelled);

// Texts shorter than this show the hint row instead of a search.
inline constexpr size_t kMinSearchLength = 3;

}  // namespace dialogs
