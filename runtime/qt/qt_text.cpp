#include "runtime/qt/qt_text.h"

#include <cerrno>
#include <cstdio>
#include <iconv.h>

namespace rt::qt {

namespace {

// One conversion direction, opened once. Everything runs on the one thread.
class Converter {
  public:
    Converter(const char* to, const char* from, bool sourceIsUtf8)
        : cd_(iconv_open(to, from)), fromUtf8_(sourceIsUtf8) {
        if (!valid()) {
            std::fprintf(stderr,
                         "velmora: no %s to %s converter in the C library; texts that are "
                         "not ASCII show as replacement characters\n",
                         from, to);
        }
    }
    ~Converter() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input. A sequence the converter rejects (or one cut short at the end)
    // is written as one `replacement` and skipped, so the rest still converts: one byte of GBK,
    // or one whole character of UTF-8.
    std::string run(std::string_view in, std::string_view replacement) {
        std::string out;
        if (!valid()) {
            for (const char c : in) {
                if (static_cast<unsigned char>(c) < 0x80) {
                    out += c;
                } else {
                    out += replacement;
                }
            }
            return out;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr); // a fresh shift state
        out.resize(in.size() * 4 + 16);
        char* inPtr = const_cast<char*>(in.data()); // iconv's signature; it does not write there
        std::size_t inLeft = in.size();
        std::size_t done = 0;
        while (inLeft > 0) {
            char* outPtr = out.data() + done;
            std::size_t outLeft = out.size() - done;
            const std::size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            done = out.size() - outLeft;
            if (result != static_cast<std::size_t>(-1)) {
                break;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL: a byte that starts no valid sequence, or a sequence cut off.
            out.resize(done);
            out += replacement;
            done = out.size();
            out.resize(done + inLeft * 4 + 16);
            do {
                ++inPtr;
                --inLeft;
            } while (fromUtf8_ && inLeft > 0 &&
                     (static_cast<unsigned char>(*inPtr) & 0xc0) == 0x80);
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(done);
        return out;
    }

  private:
    // (iconv_t)-1 is how iconv_open says it failed.
    bool valid() const {
        return cd_ != reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)
    }
    iconv_t cd_;
    bool fromUtf8_;
};

} // namespace

QString fromGbk(std::string_view gbk) {
    static Converter gbkToUtf8("UTF-8", "CP936", false);
    const std::string utf8 = gbkToUtf8.run(gbk, "\xef\xbf\xbd"); // U+FFFD
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string toGbk(const QString& text) {
    static Converter utf8ToGbk("CP936", "UTF-8", true);
    const QByteArray utf8 = text.toUtf8();
    return utf8ToGbk.run(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                         "?");
}

} // namespace rt::qt
