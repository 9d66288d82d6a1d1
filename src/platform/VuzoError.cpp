#include "VuzoError.h"

const char *VuzoError::what() const noexcept
{
    try {
        m_what = localizedDescription().toUtf8();
    } catch (...) {
        return "vuzo error";
    }
    return m_what.constData();
}
