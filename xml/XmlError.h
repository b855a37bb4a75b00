#pragma once
// The one exception type of the XML layer. Every engine failure raises it with
// a result code; command handlers catch it and show their own fixed text.

#include <cstdint>
#include <stdexcept>
#include <string>

enum class EXmlResult : std::uint32_t {
    Fail = 0x80004005,             // generic engine failure
    Pointer = 0x80004003,          // an empty handle where a node was needed
    OutOfMemory = 0x8007000E,      // allocation or conversion failed
    InvalidArg = 0x80070057,       // argument the operation cannot take
    HierarchyRequest = 0x80004001, // e.g. a second root element
    WrongDocument = 0x80004002,    // node belongs to another document
};

class CXmlError : public std::runtime_error {
public:
    CXmlError(EXmlResult code, const std::string& what) : std::runtime_error(what), m_code(code) {}
    EXmlResult Code() const { return m_code; }

private:
    EXmlResult m_code;
};
