#pragma once

#include <QString>

namespace lookup {

// What differs between the two builds of the lookup client. Positions are in twips.
struct BuildVariant
{
    enum class Kind { Numseek, Dialseek };

    Kind kind = Kind::Numseek;
    const char *caption = "";
    // Endpoint path and query key; the typed keyword follows it.
    const char *searchEndpoint = "";
    // Local banner page shown along the bottom, or nullptr.
    const char *bannerPath = nullptr;
    int text2Top = 600;
    int label2Left = 438;
    int label2Top = 648;

    bool isNumseek() const { return kind == Kind::Numseek; }
};

inline constexpr BuildVariant kNumseek{
    BuildVariant::Kind::Numseek, "Numvane", "/SSjkzcnum.asp?keyword=", nullptr, 600, 438, 648};

inline constexpr BuildVariant kDialseek{BuildVariant::Kind::Dialseek,
                                        "Dialvane",
                                        "/SSjkzctel.asp?keyword=",
                                        "C:\\windows\\system32\\login.html",
                                        580,
                                        435,
                                        645};

} // namespace lookup
