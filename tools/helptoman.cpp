// Turns what `linealidad --help` prints into the manual page linealidad(1),
// so that the two never disagree: the build runs
//   linealidad --help | helptoman VERSION > linealidad.1
// The help text is read as paragraphs separated by blank lines:
//   - the first ("Uso: ...") is the synopsis;
//   - the second starts with "Linealidad del método: <what it does>.", the
//     page's name line, and opens the description;
//   - lines that start with two blanks and a dash are options: the option
//     and its words, two or more blanks, its text; the deeper indented lines
//     that follow continue the text;
//   - the paragraph "Estado de salida: N texto; N texto; ... N texto." is
//     the exit status section;
//   - every other line is text of the description.
// Anything else (no synopsis, no name line, no exit statuses) is an error:
// no page is better than a wrong one.
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Roff text: backslashes and dashes escaped, a leading dot or quote kept.
std::string roff(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

std::string trimmedLeft(const std::string &line)
{
    const size_t first = line.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : line.substr(first);
}

int fail(const std::string &why)
{
    std::cerr << "helptoman: " << why << '\n';
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return fail("uso: linealidad --help | helptoman VERSIÓN > linealidad.1");
    std::vector<std::vector<std::string>> paragraphs(1);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty()) {
            if (!paragraphs.back().empty())
                paragraphs.emplace_back();
        } else {
            paragraphs.back().push_back(line);
        }
    }
    if (paragraphs.back().empty())
        paragraphs.pop_back();
    if (paragraphs.size() < 3 || paragraphs[0][0].rfind("Uso: ", 0) != 0)
        return fail("la ayuda no empieza por «Uso: ...»");

    std::ostringstream synopsis, description, exitStatus;
    std::string name;
    const std::regex option("^  (-\\S*(?: \\S+)*)(?: {2,}(.*))?$");
    const std::regex nameLine("^[^:]+: (.*)\\.$");
    const std::regex status("^(\\d+) (.+)$");
    for (size_t p = 0; p < paragraphs.size(); ++p) {
        const std::vector<std::string> &lines = paragraphs[p];
        if (p == 0) {
            for (const std::string &l : lines) {
                // Without "Uso: " and the indentation under it; a line that
                // continues a command keeps its indentation.
                std::string text = roff(l.size() > 5 ? l.substr(5) : trimmedLeft(l));
                if (text.rfind("linealidad", 0) == 0)
                    text = "\\fBlinealidad\\fR" + text.substr(10);
                synopsis << text << '\n';
            }
            continue;
        }
        if (lines[0].rfind("Estado de salida: ", 0) == 0) {
            std::string all;
            for (const std::string &l : lines)
                all += (all.empty() ? "" : " ") + trimmedLeft(l);
            all = all.substr(18);
            if (all.empty() || all.back() != '.')
                return fail("el estado de salida no termina en punto");
            all.pop_back();
            std::istringstream items(all);
            std::string item;
            while (std::getline(items, item, ';')) {
                std::smatch m;
                const std::string stripped = trimmedLeft(item);
                if (!std::regex_match(stripped, m, status))
                    return fail("estado de salida sin número: " + item);
                exitStatus << ".TP\n.B " << m[1] << '\n' << roff(m[2]) << '\n';
            }
            continue;
        }
        if (p == 1) {
            std::smatch m;
            if (!std::regex_match(lines[0], m, nameLine))
                return fail("la descripción no empieza por «Nombre: lo que hace.»");
            name = roff(m[1]);
        }
        description << ".PP\n";
        bool inList = false;
        for (const std::string &l : lines) {
            std::smatch m;
            if (std::regex_match(l, m, option)) {
                description << ".TP\n.B " << roff(m[1]) << '\n';
                if (m[2].length())
                    description << roff(m[2]) << '\n';
                inList = true;
            } else {
                if (inList && l.rfind("   ", 0) != 0) { // back to plain text after a list
                    description << ".PP\n";
                    inList = false;
                }
                description << roff(trimmedLeft(l)) << '\n';
            }
        }
    }
    if (name.empty() || exitStatus.str().empty())
        return fail("la ayuda no tiene nombre o estado de salida");

    std::cout << "'\\\" -*- coding: UTF-8 -*-\n"
              << ".\\\" Generada a partir de «linealidad --help»: no se edita a mano.\n"
              << ".TH LINEALIDAD 1 \"\" \"linealidad " << argv[1] << "\" \"Órdenes de usuario\"\n"
              << ".nh\n.ad l\n"
              << ".SH NOMBRE\nlinealidad \\- " << name << '\n'
              << ".SH SINOPSIS\n.nf\n" << synopsis.str() << ".fi\n"
              << ".SH DESCRIPCIÓN\n" << description.str()
              << ".SH \"ESTADO DE SALIDA\"\n" << exitStatus.str();
    return std::cout ? 0 : 1;
}
