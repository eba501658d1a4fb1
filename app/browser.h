#pragma once

#include <string>

// Opening the product's home page in the user's web browser: the program's one contact
// with the desktop's way of starting other programs.
namespace app::url {

class IBrowserImpl {
public:
    // Whether a browser can be started at all.
    virtual bool IsAvailable() = 0;
    // Starts it on the address; does not wait for it.
    virtual void Launch(const std::string& address) = 0;

protected:
    ~IBrowserImpl() = default;
};

class Browser {
public:
    // The desktop's opener, xdg-open, looked up on PATH.
    class Impl : public IBrowserImpl {
    public:
        bool IsAvailable() override;
        void Launch(const std::string& address) override;
    };

    // Starts the browser on the address; false, with nothing started, when there is no
    // browser to start.
    static bool OpenUrl(const std::string& address);

    // Replaces the program's launcher (tests); returns the previous one.
    static IBrowserImpl& Install(IBrowserImpl& launcher);
};

// The product's home page.
inline constexpr const char* kHomePage = "https://ardenholt.example/tillane/";

} // namespace app::url
