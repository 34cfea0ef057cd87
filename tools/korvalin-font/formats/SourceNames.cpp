// The names the source exports give their table, which a compiler or assembler must take.
#include "SourceExport.h"

#include <algorithm>
#include <string_view>

namespace korvalin {
namespace {

// C and C++ keywords, the C library's functions and macros, and the POSIX functions that
// glibc's headers declare by default: an array under one of these names would not compile
// beside the header that declares it.
constexpr std::string_view kTakenInC =
    "abort abs access acos acosh alignas alignof and and_eq asctime asin asinh asm assert "
    "atan atan2 atanh atexit atof atoi atol atoll auto bcopy bitand bitor bool break "
    "bsearch bzero calloc case catch cbrt ceil char char16_t char32_t char8_t class "
    "clearerr clock close co_await co_return co_yield compl concept const const_cast "
    "consteval constexpr constinit continue copysign cos cosh ctime decltype default "
    "delete difftime div do double dup dynamic_cast else enum erf erfc errno exit exp "
    "exp2 explicit export extern fabs false fclose fdim feof ferror fflush fgetc fgetpos "
    "fgets float floor fma fmax fmin fmod fopen for fork fprintf fputc fputs fread free "
    "freopen frexp friend fscanf fseek fsetpos ftell fwrite getc getchar getenv gets "
    "gmtime goto hypot if index inline int isalnum isalpha isblank iscntrl isdigit "
    "isgraph islower isprint ispunct isspace isupper isxdigit j0 j1 jn kill labs ldexp "
    "ldiv link llabs lldiv localeconv localtime log log10 log1p log2 logb long longjmp "
    "lrint lround main malloc mblen memchr memcmp memcpy memmove memset mktime modf "
    "mutable namespace nan new noexcept not not_eq nullptr offsetof open operator or "
    "or_eq perror pipe pow printf private protected public putc putchar puts qsort raise "
    "rand random read realloc register reinterpret_cast remainder remove rename requires "
    "restrict return rewind rindex rint round scanf select setbuf setjmp setlocale "
    "setvbuf short signal signed sin sinh sizeof sleep snprintf sprintf sqrt srand "
    "srandom sscanf static static_assert static_cast stderr stdin stdout strcat strchr "
    "strcmp strcoll strcpy strcspn strerror strftime strlen strncat strncmp strncpy "
    "strpbrk strrchr strspn strstr strtod strtof strtok strtol strtold strtoll strtoul "
    "strtoull struct switch system tan tanh template tgamma this thread_local throw time "
    "tmpfile tmpnam tolower toupper true trunc try typedef typeid typename typeof "
    "typeof_unqual ungetc union unlink unsigned using va_arg va_copy va_end va_start "
    "vfprintf virtual void volatile vprintf vsnprintf vsprintf wait wchar_t while write "
    "xor xor_eq y0 y1 yn";

// The Z80's registers and conditions, which an assembler reads before any label.
constexpr std::string_view kTakenInZ80 =
    "a af b bc c d de e h hl i ix ixh ixl iy iyh iyl l m nc nz p pc pe po r sp z";

// Whether `name` is one of the blank-separated words of `list`.
bool isListed(std::string_view list, std::string_view name) {
    for (std::size_t at = list.find(name); at != std::string_view::npos;
         at = list.find(name, at + 1)) {
        const std::size_t end = at + name.size();
        if ((at == 0 || list[at - 1] == ' ') && (end == list.size() || list[end] == ' '))
            return true;
    }
    return false;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isWordCharacter(char c) {
    return isLetter(c) || (c >= '0' && c <= '9') || c == '_';
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

// What is wrong with `name` as an identifier of letters, digits and '_' that starts with
// a letter, or an empty string.
std::string wordProblem(std::string_view name) {
    if (name.empty())
        return "is empty";
    if (!isLetter(name.front()))
        return "does not start with a letter";
    if (!std::ranges::all_of(name, isWordCharacter))
        return "holds a character other than letters, digits and '_'";
    return {};
}

// The stem as a word that starts with a letter, one '_' for each run of '_' and other
// characters.
std::string word(std::string_view stem) {
    std::string out;
    for (const char c : stem) {
        const char kept = isWordCharacter(c) ? c : '_';
        if (kept != '_' || !out.ends_with('_'))
            out += kept;
    }
    if (!out.empty() && isLetter(out.front()))
        return out;
    return "font_" + out.substr(out.starts_with('_') ? 1 : 0);
}

std::string fromStem(std::string_view stem, std::string (*problem)(std::string_view)) {
    const std::string name = word(stem);
    return problem(name).empty() ? name : name + "_font";
}

} // namespace

std::string CNameProblem(std::string_view name) {
    if (std::string problem = wordProblem(name); !problem.empty())
        return problem;
    // Two underscores in a row are the implementation's in C++.
    if (name.find("__") != std::string_view::npos)
        return "holds \"__\", which C++ reserves";
    if (isListed(kTakenInC, name))
        return "is a C or C++ keyword or a standard library name";
    return {};
}

std::string Z80LabelProblem(std::string_view name) {
    if (std::string problem = wordProblem(name); !problem.empty())
        return problem;
    if (isListed(kTakenInZ80, lowerCase(name)))
        return "is a Z80 register or condition";
    return {};
}

std::string CNameFromStem(std::string_view stem) {
    return fromStem(stem, CNameProblem);
}

std::string Z80LabelFromStem(std::string_view stem) {
    return fromStem(stem, Z80LabelProblem);
}

} // namespace korvalin
