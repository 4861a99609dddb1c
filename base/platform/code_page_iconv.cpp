// Code page conversions through glibc's iconv.
#include "base/platform/code_page_converter.h"

#include <iconv.h>

#include <cerrno>

namespace platform::code_page {

struct Converter {
    iconv_t cd;
};

void ConverterDeleter::operator()(Converter* converter) const {
    iconv_close(converter->cd);
    delete converter;
}

ConverterPtr OpenConverter(const std::string& name, bool toText) {
    const iconv_t cd = toText ? iconv_open("UTF-8", name.c_str()) : iconv_open(name.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
    return ConverterPtr(new Converter{cd});
}

bool Convert(Converter& converter, std::string_view in, std::string& out, size_t* stop) {
    const iconv_t cd = converter.cd;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[1024];
    while (true) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t done = srcLeft ? iconv(cd, &src, &srcLeft, &dst, &dstLeft)
                                    : iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (done != static_cast<size_t>(-1)) {
            if (srcLeft == 0) {
                // Flushes any shift state (none of the code pages has one).
                dst = buffer;
                dstLeft = sizeof buffer;
                iconv(cd, nullptr, nullptr, &dst, &dstLeft);
                out.append(buffer, static_cast<size_t>(dst - buffer));
                return true;
            }
            continue;
        }
        if (errno == E2BIG) continue;
        *stop = static_cast<size_t>(src - in.data());
        return false;
    }
}

std::string SystemCodePage() {
    return {};
}

} // namespace platform::code_page
