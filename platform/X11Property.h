#pragma once
// One property of an X window as the server holds it, read at construction
// and freed with the object. Plain Xlib, so that the hook library (which knows
// no toolkit) reads its properties with it too. Errors are the caller's: a
// window that has gone gives a BadWindow to trap, and Read() is false.

#include <X11/Xlib.h>

#include <string>
#include <vector>

class CXProperty {
public:
    // Up to `length` 32-bit units of it; a type other than AnyPropertyType
    // reads it only when it has that type.
    CXProperty(Display* display, Window window, Atom property, Atom type = AnyPropertyType,
               long length = 4096) {
        m_nStatus = XGetWindowProperty(display, window, property, 0, length, False, type, &m_nType,
                                       &m_nFormat, &m_nCount, &m_nAfter, &m_pData);
    }
    ~CXProperty() {
        if (m_pData)
            XFree(m_pData);
    }
    CXProperty(const CXProperty&) = delete;
    CXProperty& operator=(const CXProperty&) = delete;

    // The request succeeded: the window was there. The property may still be
    // missing (Type() None) or of another type.
    bool Read() const { return m_nStatus == Success; }
    Atom Type() const { return m_nType; }

    // The items of a 32-bit property (windows, atoms, cardinals); empty for
    // another format.
    std::vector<unsigned long> Items() const {
        std::vector<unsigned long> items;
        // Format 32 comes as an array of long, whatever the size of long.
        const long* values = reinterpret_cast<const long*>(m_pData);
        for (unsigned long i = 0; Read() && m_nFormat == 32 && values && i < m_nCount; ++i)
            items.push_back(static_cast<unsigned long>(values[i]) & 0xFFFFFFFFul);
        return items;
    }
    // The bytes of an 8-bit property (text); empty for another format.
    std::string Bytes() const {
        if (!Read() || m_nFormat != 8 || !m_pData)
            return {};
        return std::string(reinterpret_cast<const char*>(m_pData), m_nCount);
    }

private:
    int m_nStatus = BadImplementation;
    Atom m_nType = None;
    int m_nFormat = 0;
    unsigned long m_nCount = 0;
    unsigned long m_nAfter = 0;
    unsigned char* m_pData = nullptr;
};
