#include "parameter_file_error.h"

namespace kinetra {

int parameterFileMessage(ParameterFileError error, bool storing)
{
    switch (error) {
    case ParameterFileError::None:
    case ParameterFileError::Stopped: return -1;
    case ParameterFileError::NotFound: return 6;
    case ParameterFileError::NotAFile:
    case ParameterFileError::PathNotFound:
    case ParameterFileError::ReadFailed: return 4;
    case ParameterFileError::AccessDenied: return storing ? 10 : 5;
    case ParameterFileError::DiskFull: return 2;
    case ParameterFileError::WriteFailed: return 10;
    case ParameterFileError::ReadPastEnd: return 3;
    case ParameterFileError::TooLarge:
    case ParameterFileError::NotParameterFile:
    case ParameterFileError::OtherLevelClass:
    case ParameterFileError::UnexpectedRecord:
    case ParameterFileError::NumberOutOfRange:
    case ParameterFileError::NotANumber: return 9;
    }
    return -1;
}

} // namespace kinetra
