// A helper of the window tests: reads pixels back from an X window (or the whole screen) and
// from PNG files, lists the top-level windows, and saves captures as PPM for inspection.
//   gui_probe windows                      id, x, y, width, height and name of each window
//   gui_probe class WINDOW                 the window's class (WM_CLASS)
//   gui_probe pixel WINDOW X Y             0xRRGGBB of a pixel of a window (root: the screen)
//   gui_probe count WINDOW X Y W H RGB     how many pixels of a rectangle are 0xRRGGBB
//   gui_probe capture WINDOW FILE.ppm      the window's pixels as a PPM file
//   gui_probe png-pixel FILE.png X Y       0xRRGGBB of a pixel of a PNG file
//   gui_probe png-size FILE.png            WIDTHxHEIGHT
//   gui_probe png-count FILE.png X Y W H RGB  how many pixels of a rectangle are 0xRRGGBB
//   gui_probe compare WINDOW FILE.png      how many pixels of the window differ from the PNG
//                                          (of the same size)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int fail(const char* why) {
    std::fprintf(stderr, "gui_probe: %s\n", why);
    return 2;
}

Window window_arg(Display* display, const char* text) {
    if (std::strcmp(text, "root") == 0) return DefaultRootWindow(display);
    return static_cast<Window>(std::strtoul(text, nullptr, 0));
}

unsigned long rgb_of(XImage* image, int x, int y) {
    unsigned long pixel = XGetPixel(image, x, y);
    auto channel = [pixel](unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1))
            mask >>= 1, ++shift;
        return ((pixel >> shift) & mask) * 255 / (mask ? mask : 1);
    };
    return channel(image->red_mask) << 16 | channel(image->green_mask) << 8 |
           channel(image->blue_mask);
}

// The window's title: _NET_WM_NAME (UTF-8) when set, else WM_NAME.
std::string window_name(Display* display, Window window) {
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(display, window, net_name, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data && type == utf8)
        name.assign(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    char* plain = nullptr;
    if (name.empty() && XFetchName(display, window, &plain) && plain) name = plain;
    if (plain) XFree(plain);
    return name;
}

void list_windows(Display* display, Window parent) {
    Window root, up, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, children[i], &a) || a.map_state != IsViewable) continue;
        int x = 0, y = 0;
        Window dummy;
        XTranslateCoordinates(display, children[i], root, 0, 0, &x, &y, &dummy);
        std::printf("0x%lx %d %d %d %d %s\n", children[i], x, y, a.width, a.height,
                    window_name(display, children[i]).c_str());
    }
    if (children) XFree(children);
}

XImage* grab(Display* display, Window window) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a)) return nullptr;
    return XGetImage(display, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
}

int compare_command(Display* display, const char* window, const char* file);

int x_command(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return fail("cannot open the display");
    std::string command = argv[1];
    int status = 0;
    if (command == "windows") {
        list_windows(display, DefaultRootWindow(display));
    } else if (command == "class" && argc == 3) {
        XClassHint hint{};
        if (XGetClassHint(display, window_arg(display, argv[2]), &hint)) {
            std::printf("%s\n", hint.res_class ? hint.res_class : "");
            XFree(hint.res_name);
            XFree(hint.res_class);
        } else {
            status = fail("no class");
        }
    } else if (command == "pixel" && argc == 5) {
        XImage* image = grab(display, window_arg(display, argv[2]));
        int x = std::atoi(argv[3]), y = std::atoi(argv[4]);
        if (!image || x < 0 || y < 0 || x >= image->width || y >= image->height)
            status = fail("no such pixel");
        else
            std::printf("0x%06lx\n", rgb_of(image, x, y));
        if (image) XDestroyImage(image);
    } else if (command == "count" && argc == 8) {
        XImage* image = grab(display, window_arg(display, argv[2]));
        int x0 = std::atoi(argv[3]), y0 = std::atoi(argv[4]);
        int w = std::atoi(argv[5]), h = std::atoi(argv[6]);
        unsigned long rgb = std::strtoul(argv[7], nullptr, 0);
        if (!image || x0 < 0 || y0 < 0 || x0 + w > image->width || y0 + h > image->height) {
            status = fail("no such rectangle");
        } else {
            long count = 0;
            for (int y = y0; y < y0 + h; ++y)
                for (int x = x0; x < x0 + w; ++x)
                    count += rgb_of(image, x, y) == rgb;
            std::printf("%ld\n", count);
        }
        if (image) XDestroyImage(image);
    } else if (command == "compare" && argc == 4) {
        status = compare_command(display, argv[2], argv[3]);
    } else if (command == "capture" && argc == 4) {
        XImage* image = grab(display, window_arg(display, argv[2]));
        FILE* out = image ? std::fopen(argv[3], "wb") : nullptr;
        if (!out) {
            status = fail("cannot capture");
        } else {
            std::fprintf(out, "P6\n%d %d\n255\n", image->width, image->height);
            for (int y = 0; y < image->height; ++y)
                for (int x = 0; x < image->width; ++x) {
                    unsigned long rgb = rgb_of(image, x, y);
                    unsigned char bytes[3] = {static_cast<unsigned char>(rgb >> 16),
                                              static_cast<unsigned char>(rgb >> 8),
                                              static_cast<unsigned char>(rgb)};
                    std::fwrite(bytes, 1, 3, out);
                }
            std::fclose(out);
        }
        if (image) XDestroyImage(image);
    } else {
        status = fail("unknown command");
    }
    XCloseDisplay(display);
    return status;
}

bool read_png(const char* file, png_image& image, std::vector<unsigned char>& pixels);

// The window's pixels against a PNG file of the same size: the count that differ.
int compare_command(Display* display, const char* window, const char* file) {
    png_image png;
    std::vector<unsigned char> pixels;
    if (!read_png(file, png, pixels)) return fail("cannot read the PNG file");
    XImage* image = grab(display, window_arg(display, window));
    if (!image) return fail("cannot read the window");
    int status = 0;
    if (static_cast<unsigned>(image->width) != png.width ||
        static_cast<unsigned>(image->height) != png.height) {
        status = fail("the window and the PNG differ in size");
    } else {
        long differ = 0;
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) {
                const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * png.width + x) * 3];
                unsigned long rgb = static_cast<unsigned long>(p[0]) << 16 | p[1] << 8 | p[2];
                differ += rgb_of(image, x, y) != rgb;
            }
        std::printf("%ld\n", differ);
    }
    XDestroyImage(image);
    return status;
}

bool read_png(const char* file, png_image& image, std::vector<unsigned char>& pixels) {
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file)) return false;
    image.format = PNG_FORMAT_RGB;
    pixels.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
}

int png_command(int argc, char** argv) {
    png_image image;
    std::vector<unsigned char> pixels;
    if (!read_png(argv[2], image, pixels)) return fail("cannot read the PNG file");
    if (std::strcmp(argv[1], "png-size") == 0) {
        std::printf("%ux%u\n", image.width, image.height);
        return 0;
    }
    auto rgb_at = [&](long x, long y) {
        const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * image.width + x) * 3];
        return static_cast<unsigned long>(p[0]) << 16 | p[1] << 8 | p[2];
    };
    auto inside = [&](long x, long y) {
        return x >= 0 && y >= 0 && x < static_cast<long>(image.width) &&
               y < static_cast<long>(image.height);
    };
    if (std::strcmp(argv[1], "png-count") == 0 && argc == 8) {
        long x0 = std::atol(argv[3]), y0 = std::atol(argv[4]);
        long w = std::atol(argv[5]), h = std::atol(argv[6]);
        unsigned long rgb = std::strtoul(argv[7], nullptr, 0);
        if (!inside(x0, y0) || !inside(x0 + w - 1, y0 + h - 1)) return fail("no such rectangle");
        long count = 0;
        for (long y = y0; y < y0 + h; ++y)
            for (long x = x0; x < x0 + w; ++x)
                count += rgb_at(x, y) == rgb;
        std::printf("%ld\n", count);
        return 0;
    }
    if (argc != 5) return fail("png-pixel FILE X Y");
    long x = std::atol(argv[3]), y = std::atol(argv[4]);
    if (!inside(x, y)) return fail("no such pixel");
    std::printf("0x%06lx\n", rgb_at(x, y));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return fail("usage: gui_probe windows|pixel|capture|png-pixel|png-size ...");
    if (std::strncmp(argv[1], "png-", 4) == 0) return argc >= 3 ? png_command(argc, argv) : 2;
    return x_command(argc, argv);
}
