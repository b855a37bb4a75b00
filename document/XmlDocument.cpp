#include "document/XmlDocument.h"

#include "document/UrlFetcher.h"
#include "document/XmlDocState.h"
#include "document/XmlParser.h"

#include <libxml/tree.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

struct SFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads at most kMaxBytes + 1 bytes, so that an endless or growing source is
// bounded too.
XmlLoadResult ReadFile(const std::string& path, std::string& bytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return {XmlLoadStatus::NotFound, path + ": is a folder"};
    auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > XmlSourceLimits::kMaxBytes)
        return {XmlLoadStatus::TooLarge,
                path + ": more than " + std::to_string(XmlSourceLimits::kMaxBytes) + " bytes"};
    std::unique_ptr<std::FILE, SFileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return {XmlLoadStatus::NotFound, path + ": " + std::strerror(errno)};
    bytes.resize(ec ? 64 * 1024 : static_cast<std::size_t>(size) + 1);
    std::size_t used = 0;
    for (;;) {
        used += std::fread(bytes.data() + used, 1, bytes.size() - used, file.get());
        if (used > XmlSourceLimits::kMaxBytes)
            return {XmlLoadStatus::TooLarge,
                    path + ": more than " + std::to_string(XmlSourceLimits::kMaxBytes) + " bytes"};
        if (used < bytes.size())
            break;
        bytes.resize(std::min(bytes.size() * 2, XmlSourceLimits::kMaxBytes + 1));
    }
    if (std::ferror(file.get()))
        return {XmlLoadStatus::NotFound, path + ": read error"};
    bytes.resize(used);
    return {XmlLoadStatus::Ok, {}};
}

} // namespace

CXmlDocument::CXmlDocument() {
    CXmlParser::EnsureEngine();
    m_state = std::make_shared<CXmlDocState>(CXmlDocState::NewEmptyDoc());
}

XmlLoadResult CXmlDocument::Load(const std::string& source) {
    if (CUrlFetcher::IsUrl(source)) {
        FetchResult fetched = CUrlFetcher::Fetch(source);
        if (fetched.status != XmlLoadStatus::Ok) {
            m_state->Replace(CXmlDocState::NewEmptyDoc());
            return {fetched.status, source + ": " + fetched.detail};
        }
        return LoadBytes(fetched.body, source);
    }
    std::string bytes;
    XmlLoadResult read = ReadFile(source, bytes);
    if (!read.ok()) {
        m_state->Replace(CXmlDocState::NewEmptyDoc());
        return read;
    }
    return LoadBytes(bytes, source);
}

XmlLoadResult CXmlDocument::LoadBytes(std::string_view bytes, const std::string& baseName) {
    CXmlParser::SOutcome outcome = CXmlParser::Parse(bytes, baseName);
    if (!outcome.result.ok()) {
        m_state->Replace(CXmlDocState::NewEmptyDoc());
        if (!baseName.empty())
            outcome.result.detail = baseName + ": " + outcome.result.detail;
        return outcome.result;
    }
    m_state->Replace(outcome.pDoc);
    return outcome.result;
}

CXmlNode CXmlDocument::DocumentNode() const {
    return CXmlNode(m_state, reinterpret_cast<xmlNodePtr>(m_state->Doc()));
}

CXmlNode CXmlDocument::DocumentElement() const {
    return CXmlNode(m_state, xmlDocGetRootElement(m_state->Doc()));
}

namespace {

void RequireName(const std::string& name) {
    RequireUtf8(name, "a name");
    if (name.empty() || xmlValidateName(BAD_CAST name.c_str(), 0) != 0)
        throw CXmlError(XmlResult::InvalidArg, "not an XML name: '" + name + "'");
}

xmlNodePtr Made(xmlNodePtr node) {
    if (!node)
        throw CXmlError(XmlResult::OutOfMemory, "cannot create a node");
    return node;
}

} // namespace

CXmlNode CXmlDocument::CreateElement(const std::string& name) {
    RequireName(name);
    xmlNodePtr node = Made(xmlNewDocNode(m_state->Doc(), nullptr, BAD_CAST name.c_str(), nullptr));
    m_state->AdoptDetached(node);
    return CXmlNode(m_state, node);
}

CXmlNode CXmlDocument::CreateAttribute(const std::string& name) {
    RequireName(name);
    // No value here: xmlNewDocProp would read '&' in a value as a reference.
    auto node =
        reinterpret_cast<xmlNodePtr>(xmlNewDocProp(m_state->Doc(), BAD_CAST name.c_str(), nullptr));
    m_state->AdoptDetached(Made(node));
    return CXmlNode(m_state, node);
}

CXmlNode CXmlDocument::CreateCDATASection(const std::string& text) {
    RequireUtf8(text, "CDATA text");
    xmlNodePtr node = Made(
        xmlNewCDataBlock(m_state->Doc(), BAD_CAST text.c_str(), static_cast<int>(text.size())));
    m_state->AdoptDetached(node);
    return CXmlNode(m_state, node);
}

CXmlNode CXmlDocument::CreateTextNode(const std::string& text) {
    RequireUtf8(text, "text");
    xmlNodePtr node = Made(xmlNewDocText(m_state->Doc(), BAD_CAST text.c_str()));
    m_state->AdoptDetached(node);
    return CXmlNode(m_state, node);
}
