// The MSXML 6 DOM behind a small value interface: documents, element walks and edits.
#pragma once

#include <windows.h>
#include <msxml2.h>
#include <wrl/client.h>

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// A DOM call failed where the caller had every right to expect success (a bug or
// out of memory), including MSXML's S_FALSE-with-NULL answers.
class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One node of a document. Copies share the node: editing through one copy is
// seen through all of them, as with the DOM itself.
class XmlNode {
public:
    explicit XmlNode(Microsoft::WRL::ComPtr<IXMLDOMNode> node);  // throws XmlError on NULL

    IXMLDOMNode* Get() const noexcept { return node_.Get(); }

    std::wstring Name() const;
    bool IsElement() const;

    // Comments, processing instructions and text are not elements: counts and
    // positions here are over element children only.
    std::vector<XmlNode> ElementChildren() const;
    size_t ElementCount() const;
    XmlNode ElementAt(size_t index) const;  // throws XmlError when out of range

    // Every child node, for walks that must see all of them.
    std::vector<XmlNode> ChildNodes() const;
    bool HasChildNodes() const;

    // The menu's by-name lookup: the first element child with this name, created
    // empty as the last child when there is none. Reading an item therefore adds
    // its missing fields, and the next save writes them.
    XmlNode Child(std::wstring_view name);
    std::optional<XmlNode> FindChild(std::wstring_view name) const;

    // The element's own text and CDATA children joined, spaces kept (the DOM's
    // `text` property trims them, which would eat a caption's spaces).
    std::wstring Text() const;
    bool HasValue() const;
    // Replaces every child by one text node; empty text leaves the element empty.
    void SetText(std::wstring_view text);

    XmlNode CloneDeep() const;
    // Before the element child at `position`; position == ElementCount() appends.
    void InsertElementAt(const XmlNode& child, size_t position);
    void RemoveChild(const XmlNode& child);
    XmlNode AppendElement(std::wstring_view name);

private:
    Microsoft::WRL::ComPtr<IXMLDOMDocument> OwnerDocument() const;

    Microsoft::WRL::ComPtr<IXMLDOMNode> node_;
};

// An MSXML 6 document, loaded synchronously with insignificant white space dropped,
// so that the children of an element are its elements (and any comments).
// Needs COM on the calling thread; the constructor throws XmlError when MSXML 6
// cannot be created.
class XmlDocument {
public:
    XmlDocument();
    XmlDocument(XmlDocument&&) noexcept = default;
    XmlDocument& operator=(XmlDocument&&) noexcept = default;
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // False for a missing, unreadable or malformed file; `error` gets the parser's
    // reason when given.
    bool Load(const std::wstring& path, std::wstring* error = nullptr);
    bool LoadXml(std::wstring_view text, std::wstring* error = nullptr);
    // Parses raw bytes as a file's content, so that MSXML reads the encoding from
    // the bytes and the declaration as it does for a file.
    bool LoadBytes(std::string_view bytes, std::wstring* error = nullptr);
    // For text from outside (the network): no DTD, no external resolution, at most
    // 64 levels of elements. Properties the parser refuses are left as they are.
    void LimitForUntrustedInput();
    // True after the last load succeeded.
    bool Loaded() const noexcept { return loaded_; }

    XmlNode Root() const;  // the document element; throws XmlError when there is none
    bool HasRoot() const;

    // Writes the document as it stands; the caller decides whether it may replace
    // the file (see MenuStore for the menu).
    bool Save(const std::wstring& path) const;

private:
    bool Finish(HRESULT hr, VARIANT_BOOL success, std::wstring* error);

    Microsoft::WRL::ComPtr<IXMLDOMDocument2> doc_;
    bool loaded_ = false;
};

}  // namespace ui
