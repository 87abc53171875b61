#include "dialogs/index_search.h"

#include "ui/files.h"
#include "ui/strings.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace dialogs {
namespace {

// The cancel test and the literal scan both work in blocks of this many lines.
constexpr size_t kBlockLines = 4096;

void FoldInPlace(std::wstring& text) {
    // CharUpperBuffW takes a DWORD count.
    constexpr size_t kChunk = 1u << 30;
    for (size_t at = 0; at < text.size(); at += kChunk)
        CharUpperBuffW(text.data() + at, static_cast<DWORD>(std::min(kChunk, text.size() - at)));
}

struct MaskToken {
    enum class Kind { Char, Any, Star, Set } kind = Kind::Char;
    wchar_t c = 0;
    bool negate = false;
    std::wstring ranges;  // pairs of first and last character
};

std::vector<MaskToken> ParseMask(std::wstring_view mask) {
    std::vector<MaskToken> tokens;
    for (size_t i = 0; i < mask.size(); ++i) {
        const wchar_t c = mask[i];
        MaskToken token;
        if (c == L'*') {
            if (!tokens.empty() && tokens.back().kind == MaskToken::Kind::Star) continue;
            token.kind = MaskToken::Kind::Star;
        } else if (c == L'?') {
            token.kind = MaskToken::Kind::Any;
        } else if (c == L'[') {
            size_t first = i + 1;
            const bool negate = first < mask.size() && mask[first] == L'!';
            if (negate) ++first;
            const size_t close = mask.find(L']', first);
            if (close == std::wstring_view::npos) {
                token.c = c;  // no set without its end: a plain "["
            } else {
                token.kind = MaskToken::Kind::Set;
                token.negate = negate;
                for (size_t p = first; p < close; ++p) {
                    const bool range = p + 2 < close && mask[p + 1] == L'-';
                    token.ranges.push_back(mask[p]);
                    token.ranges.push_back(range ? mask[p + 2] : mask[p]);
                    if (range) p += 2;
                }
                i = close;
            }
        } else {
            token.c = c;
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

bool MatchesOne(const MaskToken& token, wchar_t c) {
    switch (token.kind) {
    case MaskToken::Kind::Char: return token.c == c;
    case MaskToken::Kind::Any: return true;
    case MaskToken::Kind::Set: {
        bool in = false;
        for (size_t p = 0; p + 1 < token.ranges.size() && !in; p += 2)
            in = c >= token.ranges[p] && c <= token.ranges[p + 1];
        return in != token.negate;
    }
    case MaskToken::Kind::Star: break;
    }
    return false;
}

// Greedy with a step back to the last "*": linear in practice, never recursive.
bool MatchesTokens(std::wstring_view name, const std::vector<MaskToken>& tokens) {
    size_t n = 0, t = 0, starToken = std::wstring_view::npos, starName = 0;
    while (n < name.size()) {
        if (t < tokens.size() && tokens[t].kind == MaskToken::Kind::Star) {
            starToken = t++;
            starName = n;
        } else if (t < tokens.size() && MatchesOne(tokens[t], name[n])) {
            ++t;
            ++n;
        } else if (starToken != std::wstring_view::npos) {
            t = starToken + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (t < tokens.size() && tokens[t].kind == MaskToken::Kind::Star) ++t;
    return t == tokens.size();
}

}  // namespace

SearchIndex SearchIndex::Parse(std::string_view bytes) {
    SearchIndex index;
    index.text_ = ui::DecodeMarkedText(bytes);
    const std::wstring& text = index.text_;
    // The offsets are 32-bit; nothing beyond that is listed.
    const size_t n = std::min<size_t>(text.size(), UINT32_MAX);
    size_t i = 0;
    while (i < n) {
        const size_t start = i;
        bool control = false;
        for (; i < n; ++i) {
            const wchar_t c = text[i];
            if (c == L'\r' || c == L'\n') break;
            if (c < 0x20) control = true;
        }
        const size_t length = i - start;
        if (!control && length > 0 && length <= kMaxLine) index.Add(start, length);
        if (i < n && text[i] == L'\r') ++i;
        if (i < n && text[i] == L'\n') ++i;
    }
    FoldInPlace(index.folded_);
    return index;
}

SearchIndex SearchIndex::Load(const std::wstring& path) {
    const std::optional<std::string> bytes = ui::ReadFileBytes(path);
    if (!bytes) return {};
    return Parse(*bytes);
}

void SearchIndex::Add(size_t start, size_t length) {
    if (folded_.size() + length + 1 > UINT32_MAX) return;
    const std::wstring_view name = NameWithoutExtension(std::wstring_view(text_).substr(start, length));
    lines_.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)});
    nameStarts_.push_back(static_cast<std::uint32_t>(folded_.size()));
    folded_.append(name);
    folded_.push_back(kSeparator);
}

std::wstring_view SearchIndex::FoldedName(size_t i) const {
    const size_t start = nameStarts_[i];
    const size_t end = i + 1 < nameStarts_.size() ? nameStarts_[i + 1] : folded_.size();
    return std::wstring_view(folded_).substr(start, end - start - 1);
}

size_t SearchIndex::LineOfFoldedOffset(size_t offset) const {
    const auto after = std::upper_bound(nameStarts_.begin(), nameStarts_.end(), offset);
    return static_cast<size_t>(after - nameStarts_.begin()) - 1;
}

size_t SearchIndex::MemoryBytes() const {
    return text_.capacity() * sizeof(wchar_t) + folded_.capacity() * sizeof(wchar_t) +
           lines_.capacity() * sizeof(Range) + nameStarts_.capacity() * sizeof(std::uint32_t);
}

std::wstring FoldCase(std::wstring_view text) {
    std::wstring folded(text);
    FoldInPlace(folded);
    return folded;
}

std::wstring_view NameWithoutExtension(std::wstring_view path) {
    const size_t separator = path.find_last_of(L"\\/:");
    std::wstring_view name = separator == std::wstring_view::npos ? path : path.substr(separator + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring_view::npos) name = name.substr(0, dot);
    return name;
}

bool HasWildcards(std::wstring_view text) { return text.find_first_of(L"*?[") != std::wstring_view::npos; }

bool MatchesMask(std::wstring_view name, std::wstring_view mask) { return MatchesTokens(name, ParseMask(mask)); }

std::optional<std::vector<std::uint32_t>> FindInIndex(const SearchIndex& index, std::wstring_view text,
                                                      const std::function<bool()>& cancelled) {
    std::vector<std::uint32_t> found;
    const std::wstring needle = FoldCase(text);
    // No name holds a control character, and the separator must never match.
    if (std::any_of(needle.begin(), needle.end(), [](wchar_t c) { return c < 0x20; })) return found;
    const size_t count = index.size();
    if (needle.empty()) {
        for (size_t line = 0; line < count; ++line) found.push_back(static_cast<std::uint32_t>(line));
        return found;
    }
    if (HasWildcards(needle)) {
        const std::vector<MaskToken> tokens = ParseMask(L"*" + needle + L"*");
        for (size_t line = 0; line < count; ++line) {
            if (line % kBlockLines == 0 && cancelled && cancelled()) return std::nullopt;
            if (MatchesTokens(index.FoldedName(line), tokens)) found.push_back(static_cast<std::uint32_t>(line));
        }
        return found;
    }
    // Names are packed behind one another with a separator the needle cannot hold,
    // so one find over a block of names never matches across two of them.
    const std::wstring_view folded(index.Folded());
    for (size_t first = 0; first < count; first += kBlockLines) {
        if (cancelled && cancelled()) return std::nullopt;
        const size_t last = std::min(first + kBlockLines, count);
        const size_t begin = index.FoldedName(first).data() - folded.data();
        const size_t end = last < count ? static_cast<size_t>(index.FoldedName(last).data() - folded.data())
                                        : folded.size();
        const std::wstring_view block = folded.substr(begin, end - begin);
        size_t at = 0;
        while ((at = block.find(needle, at)) != std::wstring_view::npos) {
            const size_t line = index.LineOfFoldedOffset(begin + at);
            found.push_back(static_cast<std::uint32_t>(line));
            // On to the next name: one row per line however often it matches.
            const std::wstring_view name = index.FoldedName(line);
            at = static_cast<size_t>(name.data() - folded.data()) - begin + name.size() + 1;
        }
    }
    return found;
}

}  // namespace dialogs
