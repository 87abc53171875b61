#include "ui/xml_document.h"

#include <oleauto.h>

#include <climits>
#include <cstdio>
#include <cstring>

namespace ui {

using Microsoft::WRL::ComPtr;

namespace {

// mingw's msxml2.h predates MSXML 6 and declares no usable GUIDs for it; these are
// the registered values, kept here so nothing else needs them.
constexpr CLSID kClsidDomDocument60 = {
    0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
constexpr IID kIidXmlDomDocument2 = {
    0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

// Owns a BSTR for the length of one call.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text)
        : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
        if (!b_) throw XmlError("out of memory for a BSTR");
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }
    BSTR Get() const noexcept { return b_; }
    BSTR* Out() noexcept { SysFreeString(b_); b_ = nullptr; return &b_; }
    std::wstring Str() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }
private:
    BSTR b_ = nullptr;
};

// Clears a VARIANT however it was filled.
class Variant {
public:
    Variant() noexcept { VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v_); }
    VARIANT* Get() noexcept { return &v_; }
    VARIANT* Out() noexcept { VariantClear(&v_); return &v_; }
private:
    VARIANT v_;
};

[[noreturn]] void Fail(const char* what, HRESULT hr) {
    char text[128];
    std::snprintf(text, sizeof text, "%s failed (HRESULT 0x%08lX)", what,
                  static_cast<unsigned long>(hr));
    throw XmlError(text);
}

// Node lookups and several getters answer S_FALSE with a NULL result: only
// exactly S_OK is success.
void Check(HRESULT hr, const char* what) {
    if (hr != S_OK) Fail(what, hr);
}

VARIANT PathVariant(const Bstr& path) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = path.Get();  // borrowed: the caller's Bstr frees it
    return v;
}

DOMNodeType TypeOf(IXMLDOMNode* node) {
    DOMNodeType type = NODE_INVALID;
    Check(node->get_nodeType(&type), "IXMLDOMNode::get_nodeType");
    return type;
}

template <class Keep> std::vector<XmlNode> Children(IXMLDOMNode* node, Keep keep) {
    ComPtr<IXMLDOMNodeList> list;
    Check(node->get_childNodes(&list), "IXMLDOMNode::get_childNodes");
    long length = 0;
    Check(list->get_length(&length), "IXMLDOMNodeList::get_length");
    std::vector<XmlNode> result;
    for (long i = 0; i < length; ++i) {
        ComPtr<IXMLDOMNode> child;
        Check(list->get_item(i, &child), "IXMLDOMNodeList::get_item");
        if (keep(child.Get())) result.emplace_back(std::move(child));
    }
    return result;
}

}  // namespace

// --- XmlNode ---------------------------------------------------------------

XmlNode::XmlNode(ComPtr<IXMLDOMNode> node) : node_(std::move(node)) {
    if (!node_) throw XmlError("XmlNode made from a NULL node");
}

std::wstring XmlNode::Name() const {
    Bstr name;
    Check(node_->get_nodeName(name.Out()), "IXMLDOMNode::get_nodeName");
    return name.Str();
}

bool XmlNode::IsElement() const { return TypeOf(node_.Get()) == NODE_ELEMENT; }

std::vector<XmlNode> XmlNode::ElementChildren() const {
    return Children(node_.Get(), [](IXMLDOMNode* n) { return TypeOf(n) == NODE_ELEMENT; });
}

size_t XmlNode::ElementCount() const { return ElementChildren().size(); }

XmlNode XmlNode::ElementAt(size_t index) const {
    auto elements = ElementChildren();
    if (index >= elements.size()) throw XmlError("element position out of range");
    return elements[index];
}

std::vector<XmlNode> XmlNode::ChildNodes() const {
    return Children(node_.Get(), [](IXMLDOMNode*) { return true; });
}

bool XmlNode::HasChildNodes() const {
    VARIANT_BOOL has = VARIANT_FALSE;
    // S_FALSE here is the honest answer "no children", not a failure.
    HRESULT hr = node_->hasChildNodes(&has);
    if (FAILED(hr)) Fail("IXMLDOMNode::hasChildNodes", hr);
    return has == VARIANT_TRUE;
}

std::optional<XmlNode> XmlNode::FindChild(std::wstring_view name) const {
    for (auto& child : ElementChildren())
        if (child.Name() == name) return child;
    return std::nullopt;
}

XmlNode XmlNode::Child(std::wstring_view name) {
    if (auto found = FindChild(name)) return *found;
    return AppendElement(name);
}

std::wstring XmlNode::Text() const {
    std::wstring text;
    for (auto& child : ChildNodes()) {
        DOMNodeType type = TypeOf(child.Get());
        if (type != NODE_TEXT && type != NODE_CDATA_SECTION) continue;
        Variant value;
        Check(child.Get()->get_nodeValue(value.Out()), "IXMLDOMNode::get_nodeValue");
        if (V_VT(value.Get()) == VT_BSTR && V_BSTR(value.Get()))
            text.append(V_BSTR(value.Get()), SysStringLen(V_BSTR(value.Get())));
    }
    return text;
}

bool XmlNode::HasValue() const { return !Text().empty(); }

void XmlNode::SetText(std::wstring_view text) {
    for (auto& child : ChildNodes()) RemoveChild(child);
    if (text.empty()) return;
    ComPtr<IXMLDOMText> textNode;
    Bstr value(text);
    Check(OwnerDocument()->createTextNode(value.Get(), &textNode),
          "IXMLDOMDocument::createTextNode");
    ComPtr<IXMLDOMNode> added;
    Check(node_->appendChild(textNode.Get(), &added), "IXMLDOMNode::appendChild");
}

XmlNode XmlNode::CloneDeep() const {
    ComPtr<IXMLDOMNode> copy;
    Check(node_->cloneNode(VARIANT_TRUE, &copy), "IXMLDOMNode::cloneNode");
    return XmlNode(std::move(copy));
}

void XmlNode::InsertElementAt(const XmlNode& child, size_t position) {
    auto elements = ElementChildren();
    if (position > elements.size()) throw XmlError("insert position out of range");
    ComPtr<IXMLDOMNode> added;
    if (position == elements.size()) {
        Check(node_->appendChild(child.Get(), &added), "IXMLDOMNode::appendChild");
        return;
    }
    VARIANT before;
    VariantInit(&before);
    V_VT(&before) = VT_DISPATCH;
    V_DISPATCH(&before) = elements[position].Get();  // borrowed for the call
    Check(node_->insertBefore(child.Get(), before, &added), "IXMLDOMNode::insertBefore");
}

void XmlNode::RemoveChild(const XmlNode& child) {
    ComPtr<IXMLDOMNode> removed;
    Check(node_->removeChild(child.Get(), &removed), "IXMLDOMNode::removeChild");
}

XmlNode XmlNode::AppendElement(std::wstring_view name) {
    Bstr tag(name);
    ComPtr<IXMLDOMElement> element;
    Check(OwnerDocument()->createElement(tag.Get(), &element), "IXMLDOMDocument::createElement");
    ComPtr<IXMLDOMNode> added;
    Check(node_->appendChild(element.Get(), &added), "IXMLDOMNode::appendChild");
    return XmlNode(std::move(added));
}

ComPtr<IXMLDOMDocument> XmlNode::OwnerDocument() const {
    ComPtr<IXMLDOMDocument> doc;
    Check(node_->get_ownerDocument(&doc), "IXMLDOMNode::get_ownerDocument");
    return doc;
}

// --- XmlDocument -----------------------------------------------------------

XmlDocument::XmlDocument() {
    HRESULT hr = CoCreateInstance(kClsidDomDocument60, nullptr, CLSCTX_INPROC_SERVER,
                                  kIidXmlDomDocument2,
                                  reinterpret_cast<void**>(doc_.GetAddressOf()));
    if (FAILED(hr) || !doc_) Fail("creating the MSXML 6 document", hr);
    // Windows loads in the background by default, and an empty document would be
    // taken for the menu.
    Check(doc_->put_async(VARIANT_FALSE), "IXMLDOMDocument::put_async");
    // Keeps indentation out of the children, so that they are the elements.
    Check(doc_->put_preserveWhiteSpace(VARIANT_FALSE), "IXMLDOMDocument::put_preserveWhiteSpace");
}

bool XmlDocument::Finish(HRESULT hr, VARIANT_BOOL success, std::wstring* error) {
    // A parse error comes back as S_FALSE with VARIANT_FALSE, not as a failure code.
    loaded_ = hr == S_OK && success == VARIANT_TRUE;
    if (!loaded_ && error) {
        ComPtr<IXMLDOMParseError> parseError;
        Bstr reason;
        if (doc_->get_parseError(&parseError) == S_OK && parseError &&
            parseError->get_reason(reason.Out()) == S_OK)
            *error = reason.Str();
        if (error->empty()) *error = L"the document could not be loaded";
    }
    return loaded_;
}

bool XmlDocument::Load(const std::wstring& path, std::wstring* error) {
    Check(doc_->put_async(VARIANT_FALSE), "IXMLDOMDocument::put_async");
    Bstr source(path);
    VARIANT_BOOL success = VARIANT_FALSE;
    HRESULT hr = doc_->load(PathVariant(source), &success);
    return Finish(hr, success, error);
}

bool XmlDocument::LoadXml(std::wstring_view text, std::wstring* error) {
    Bstr source(text);
    VARIANT_BOOL success = VARIANT_FALSE;
    HRESULT hr = doc_->loadXML(source.Get(), &success);
    return Finish(hr, success, error);
}

bool XmlDocument::LoadBytes(std::string_view bytes, std::wstring* error) {
    Check(doc_->put_async(VARIANT_FALSE), "IXMLDOMDocument::put_async");
    if (bytes.size() > ULONG_MAX) return Finish(E_INVALIDARG, VARIANT_FALSE, error);
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!array) throw XmlError("out of memory for a SAFEARRAY");
    Variant source;
    source.Get()->vt = VT_ARRAY | VT_UI1;
    source.Get()->parray = array;  // the Variant frees it
    if (!bytes.empty()) {
        void* data = nullptr;
        if (FAILED(SafeArrayAccessData(array, &data))) Fail("SafeArrayAccessData", E_FAIL);
        std::memcpy(data, bytes.data(), bytes.size());
        SafeArrayUnaccessData(array);
    }
    VARIANT_BOOL success = VARIANT_FALSE;
    HRESULT hr = doc_->load(*source.Get(), &success);
    return Finish(hr, success, error);
}

void XmlDocument::LimitForUntrustedInput() {
    // Wine rejects MaxElementDepth and ignores ProhibitDTD, yet resolves no external
    // entity and fails entity bombs and deep nesting itself; Windows honours all three.
    Variant on;
    on.Get()->vt = VT_BOOL;
    on.Get()->boolVal = VARIANT_TRUE;
    doc_->setProperty(Bstr(L"ProhibitDTD").Get(), *on.Get());
    Variant depth;
    depth.Get()->vt = VT_I4;
    depth.Get()->lVal = 64;
    doc_->setProperty(Bstr(L"MaxElementDepth").Get(), *depth.Get());
    doc_->put_resolveExternals(VARIANT_FALSE);
}

bool XmlDocument::HasRoot() const {
    ComPtr<IXMLDOMElement> root;
    return doc_->get_documentElement(&root) == S_OK && root;
}

XmlNode XmlDocument::Root() const {
    ComPtr<IXMLDOMElement> root;
    Check(doc_->get_documentElement(&root), "IXMLDOMDocument::get_documentElement");
    return XmlNode(ComPtr<IXMLDOMNode>(root));
}

bool XmlDocument::Save(const std::wstring& path) const {
    Bstr target(path);
    return doc_->save(PathVariant(target)) == S_OK;
}

}  // namespace ui
