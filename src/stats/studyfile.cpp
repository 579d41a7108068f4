#include "stats/studyfile.h"

#include "stats/conversions.h"
#include "stats/errors.h"
#include "stats/systemerror.h"
#include "stats/windows1252.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace stats {

namespace {

constexpr char kCtrlZ = 26;

// The lines of the data up to Ctrl-Z; a final line break adds no empty line.
std::vector<std::string_view> splitLines(std::string_view bytes)
{
    if (const size_t end = bytes.find(kCtrlZ); end != std::string_view::npos)
        bytes = bytes.substr(0, end);
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, stop - start));
        start = stop + 1;
        if (bytes[stop] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    return lines;
}

class LineReader {
public:
    explicit LineReader(std::string_view bytes) : lines_(splitLines(bytes)) {}
    int number() const { return static_cast<int>(next_) + 1; } // of the next line
    size_t remaining() const { return next_ < lines_.size() ? lines_.size() - next_ : 0; }
    std::string next()
    {
        if (next_ >= lines_.size()) {
            ++next_;
            return {};
        }
        return Windows1252ToUtf8(lines_[next_++]);
    }
    std::vector<std::string> next(int count)
    {
        std::vector<std::string> values;
        for (int i = 0; i < count; ++i)
            values.push_back(next());
        return values;
    }

private:
    std::vector<std::string_view> lines_;
    size_t next_ = 0;
};

[[noreturn]] void refuse(const std::string &why)
{
    throw StudyFileError("El archivo no contiene un estudio válido: " + why);
}

std::string encodeLine(const std::string &value, const std::string &field)
{
    for (char c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            throw StudyFileError("No se puede guardar el estudio: " + field +
                                 " contiene un salto de línea o un carácter de control que el archivo no "
                                 "puede guardar.");
    std::string bytes, offending;
    if (!Utf8ToWindows1252(value, bytes, offending))
        throw StudyFileError("No se puede guardar el estudio: " + field + " contiene el carácter «" + offending +
                             "», que el archivo (Windows-1252) no puede guardar.");
    return bytes + "\r\n";
}

} // namespace

namespace {

// Lines no field can hold, and characters a terminal or a window would act on
// instead of showing: C0 controls, DEL and the bytes Windows-1252 leaves to
// the C1 controls. The message names the line.
void refuseUnreadableLines(std::string_view bytes)
{
    const std::vector<std::string_view> lines = splitLines(bytes);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string line = std::to_string(i + 1);
        if (lines[i].size() > kMaxFileLineLength)
            refuse("la línea " + line + " tiene más de " + std::to_string(kMaxFileLineLength) + " caracteres.");
        for (char c : lines[i]) {
            const auto b = static_cast<unsigned char>(c);
            if (b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
                refuse("la línea " + line + " contiene un carácter de control (código " + std::to_string(b) + ").");
        }
    }
}

} // namespace

StudyFile ParseStudyFile(std::string_view bytes)
{
    refuseUnreadableLines(bytes);
    LineReader in(bytes);
    StudyFile f;
    f.method = in.next();
    f.analyst = in.next();
    f.date = in.next();
    f.units = in.next();
    f.levels = in.next();
    const int levels = StrToInt(f.levels);
    if (levels < 0)
        refuse("la línea 5 indica un número de niveles negativo (" + std::to_string(levels) + ").");
    if (levels > kMaxFileLevels)
        refuse("la línea 5 indica " + std::to_string(levels) + " niveles (el máximo es " +
               std::to_string(kMaxFileLevels) + ").");

    long long observations = 0;
    for (int j = 0; j < levels; ++j) {
        const int line = in.number();
        f.replicates.push_back(in.next());
        const int count = StrToInt(f.replicates.back());
        if (count < 0)
            refuse("la línea " + std::to_string(line) + " indica un número de réplicas negativo (" +
                   std::to_string(count) + ").");
        observations += count;
        if (observations > kMaxFileObservations)
            refuse("las réplicas de las líneas 6 a " + std::to_string(line) + " suman más de " +
                   std::to_string(kMaxFileObservations) + " observaciones.");
    }
    f.x = in.next(static_cast<int>(observations));
    f.y = in.next(static_cast<int>(observations));
    f.predictionSlope = in.next();
    f.predictionIntercept = in.next();
    f.predictionCount = in.next();

    // The prediction rows are what lies between the count and the three titles.
    const long long left = static_cast<long long>(in.remaining()) - 3;
    const long long predictions = left > 0 ? left / 2 : 0;
    if (predictions > kMaxFilePredictions)
        refuse("a partir de la línea " + std::to_string(in.number()) + " contiene " + std::to_string(predictions) +
               " filas de predicción (el máximo es " + std::to_string(kMaxFilePredictions) + ").");
    f.predictionX = in.next(static_cast<int>(predictions));
    f.predictionY = in.next(static_cast<int>(predictions));
    f.title = in.next();
    f.xLabel = in.next();
    f.yLabel = in.next();
    return f;
}

std::string SerializeStudyFile(const StudyFile &f)
{
    std::string out;
    out += encodeLine(f.method, "el nombre del método");
    out += encodeLine(f.analyst, "el nombre del analista");
    out += encodeLine(f.date, "la fecha");
    out += encodeLine(f.units, "las unidades de la cantidad adicionada");
    out += encodeLine(f.levels, "el número de niveles");
    for (size_t j = 0; j < f.replicates.size(); ++j)
        out += encodeLine(f.replicates[j], "el número de réplicas del nivel " + std::to_string(j + 1));
    for (size_t i = 0; i < f.x.size(); ++i)
        out += encodeLine(f.x[i], "el dato " + std::to_string(i + 1) + " de la cantidad adicionada");
    for (size_t i = 0; i < f.y.size(); ++i)
        out += encodeLine(f.y[i], "el dato " + std::to_string(i + 1) + " de la cantidad recuperada");
    out += encodeLine(f.predictionSlope, "la pendiente de las predicciones");
    out += encodeLine(f.predictionIntercept, "la ordenada de las predicciones");
    out += encodeLine(f.predictionCount, "el número de predicciones");
    for (size_t i = 0; i < f.predictionX.size(); ++i)
        out += encodeLine(f.predictionX[i], "la X de la predicción " + std::to_string(i + 1));
    for (size_t i = 0; i < f.predictionY.size(); ++i)
        out += encodeLine(f.predictionY[i], "la Y de la predicción " + std::to_string(i + 1));
    out += encodeLine(f.title, "el título de la gráfica");
    out += encodeLine(f.xLabel, "el rótulo del eje X");
    out += encodeLine(f.yLabel, "el rótulo del eje Y");
    return out;
}

StudyFile StudyFileFromTexts(const StudyTexts &texts)
{
    StudyFile f;
    f.method = texts.method();
    f.analyst = texts.analyst();
    f.date = texts.date();
    f.units = texts.units();
    f.levels = texts.levelCount();
    const int levels = StrToInt(f.levels);
    for (int j = 1; j <= levels; ++j)
        f.replicates.push_back(texts.replicateCell(j, 1));
    for (int row = 1; row < texts.dataRowCount(); ++row)
        f.x.push_back(texts.dataCell(1, row));
    for (int row = 1; row < texts.dataRowCount(); ++row)
        f.y.push_back(texts.dataCell(2, row));
    return f;
}

StudyData StudyFromFile(const StudyFile &file)
{
    StudyData study = StudyData::Shaped(file.replicates, file.x, file.y);
    study.methodText = file.method;
    study.analystText = file.analyst;
    study.dateText = file.date;
    study.unitsText = file.units;
    study.levelsText = file.levels;
    return study;
}

} // namespace stats

namespace stats {

std::string ReadFileBytes(const std::string &path, std::uintmax_t largest)
{
    namespace fs = std::filesystem;
    auto unreadable = [&](int error) {
        return StudyFileError("Error al leer el archivo «" + path + "»: " + SystemErrorText(error));
    };
    auto tooLarge = [&] { return StudyFileError("El archivo «" + path + "» es demasiado grande para ser un estudio"); };
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec && ec != std::errc::no_such_file_or_directory)
        throw unreadable(ec.value()); // a loop of links, a folder without permission...
    if (!fs::exists(status))
        throw StudyFileError("No se encuentra el archivo «" + path + "»");
    if (!fs::is_regular_file(status))
        throw StudyFileError("«" + path + "» no es un archivo de estudio");
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > largest)
        throw tooLarge();
    std::FILE *in = std::fopen(path.c_str(), "rb");
    if (!in) {
        if (errno == ENOENT)
            throw StudyFileError("No se encuentra el archivo «" + path + "»");
        throw StudyFileError("No se puede abrir el archivo «" + path + "»: " + SystemErrorText(errno));
    }
    // The limit holds while reading too: a file may grow after it was measured.
    std::string bytes;
    char buffer[65536];
    errno = 0;
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, in);
        bytes.append(buffer, n);
        if (bytes.size() > largest) {
            std::fclose(in);
            throw tooLarge();
        }
        if (n < sizeof buffer) {
            const bool failed = std::ferror(in) != 0;
            const int error = errno != 0 ? errno : EIO;
            std::fclose(in);
            if (failed)
                throw unreadable(error);
            break;
        }
    }
    return bytes;
}

} // namespace stats
