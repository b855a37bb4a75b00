#include "xml/XmlErrorCapture.h"

#include <libxml/globals.h>

#include <cstdarg>
#include <cstdio>

CXmlErrorCapture::CXmlErrorCapture()
    : m_pPrevStructured(xmlStructuredError), m_pPrevStructuredContext(xmlStructuredErrorContext),
      m_pPrevGeneric(xmlGenericError), m_pPrevGenericContext(xmlGenericErrorContext) {
    // Both handlers are per thread in libxml2, so other threads keep theirs.
    xmlSetStructuredErrorFunc(this, &CXmlErrorCapture::OnStructuredError);
    xmlSetGenericErrorFunc(this, &CXmlErrorCapture::OnGenericError);
}

CXmlErrorCapture::~CXmlErrorCapture() {
    xmlSetStructuredErrorFunc(m_pPrevStructuredContext, m_pPrevStructured);
    xmlSetGenericErrorFunc(m_pPrevGenericContext, m_pPrevGeneric);
}

void CXmlErrorCapture::Record(const xmlError* error) {
    if (!error || error->level < XML_ERR_ERROR)
        return;
    std::string message = error->message ? error->message : "";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    if (error->line > 0)
        message = "line " + std::to_string(error->line) + ": " + message;
    Record(message, error->code);
}

void CXmlErrorCapture::Record(const std::string& message, int code) {
    if (code == XML_ERR_NO_MEMORY)
        m_bOutOfMemory = true;
    if (m_nFirstCode != 0 || !m_strFirst.empty())
        return;
    m_strFirst = message;
    m_nFirstCode = code;
}

void CXmlErrorCapture::OnStructuredError(void* capture, xmlErrorPtr error) {
    static_cast<CXmlErrorCapture*>(capture)->Record(error);
}

void CXmlErrorCapture::OnGenericError(void* capture, const char* format, ...) {
    // Generic messages arrive in pieces; the first piece is enough to go on.
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    if (!message.empty())
        static_cast<CXmlErrorCapture*>(capture)->Record(message, XML_ERR_INTERNAL_ERROR);
}
