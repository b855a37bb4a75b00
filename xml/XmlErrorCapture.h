#pragma once
// Private to the XML layer. While alive, keeps libxml2 from printing to stderr
// on this thread and keeps the first error message instead.

#include <libxml/xmlerror.h>

#include <string>

class CXmlErrorCapture {
public:
    CXmlErrorCapture();
    ~CXmlErrorCapture();
    CXmlErrorCapture(const CXmlErrorCapture&) = delete;
    CXmlErrorCapture& operator=(const CXmlErrorCapture&) = delete;

    // Records an engine error; warnings are ignored.
    void Record(const xmlError* error);
    void Record(const std::string& message, int code);

    const std::string& FirstMessage() const { return m_strFirst; }
    int FirstCode() const { return m_nFirstCode; }
    bool OutOfMemory() const { return m_bOutOfMemory; }

    // Structured handler whose user data is a CXmlErrorCapture.
    static void OnStructuredError(void* capture, xmlErrorPtr error);

private:
    static void OnGenericError(void* capture, const char* format, ...);

    std::string m_strFirst;
    int m_nFirstCode = 0;
    bool m_bOutOfMemory = false;
    xmlStructuredErrorFunc m_pPrevStructured;
    void* m_pPrevStructuredContext;
    xmlGenericErrorFunc m_pPrevGeneric;
    void* m_pPrevGenericContext;
};
