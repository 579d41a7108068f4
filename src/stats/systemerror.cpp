#include "stats/systemerror.h"

#include <cerrno>

namespace stats {

std::string SystemErrorText(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return "el disco está lleno";
    case EFBIG:
        return "el archivo excede el tamaño que el sistema permite";
    case EACCES:
    case EPERM:
        return "acceso denegado";
    case EROFS:
        return "el disco es de sólo lectura";
    case ENOENT:
    case ENOTDIR:
        return "la carpeta no existe";
    case EISDIR:
        return "es una carpeta";
    case ELOOP:
        return "los enlaces simbólicos forman un ciclo";
    case ENAMETOOLONG:
        return "el nombre es demasiado largo";
    case EIO:
        return "error de entrada/salida";
    case ENOMEM:
        return "no hay memoria suficiente";
    default:
        return "error del sistema " + std::to_string(error);
    }
}

} // namespace stats
