#include "file_window_elements.h"

namespace kinetra {

bool FileWindowElements::isFileWindowElement(const Element& e)
{
    return e.name.startsWith(QLatin1String("frmFile."));
}

WindowElements& FileWindowElements::target(const Element& e) const
{
    if (!isFileWindowElement(e))
        return main_;
    return file_ ? *file_ : closed_;
}

} // namespace kinetra
