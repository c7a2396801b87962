#pragma once
// A fake kernel: a sysfs tree with USB serial ports laid out as the kernel
// lays them out, and a /dev folder whose ttyUSB nodes are links (to a
// pseudo-terminal's slave, say). The environment points the kernel-driver
// library and the program's library choice at it.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

struct FakeTree {
    FakeTree()
    {
        char pattern[] = "/tmp/plendoro-tty-XXXXXX";
        root = mkdtemp(pattern);
        std::filesystem::create_directories(Sysfs() + "/bus/usb-serial/devices");
        std::filesystem::create_directories(root + "/dev");
        setenv("PLENDORO_TTY_SYSFS", Sysfs().c_str(), 1);
        setenv("PLENDORO_TTY_DEV", (root + "/dev").c_str(), 1);
    }
    ~FakeTree() { std::filesystem::remove_all(root); }
    std::string Sysfs() const { return root + "/sys"; }
    std::string Node(unsigned n) const { return root + "/dev/ttyUSB" + std::to_string(n); }
    std::string PortFolder(unsigned n) const
    {
        const std::string usb = "1-" + std::to_string(n);
        return Sysfs() + "/devices/pci0000:00/usb1/" + usb + "/" + usb + ":1.0/ttyUSB" + std::to_string(n);
    }
    // As the kernel lays it out: the bus entry links to the port below the
    // interface below the USB device. A null product leaves its file out;
    // `vanished` leaves the port's folder out.
    // The port's driver link names `driver`.
    void AddPort(unsigned n, const char* product, const std::string& serial, bool vanished = false,
                 const std::string& driver = "ftdi_sio")
    {
        std::filesystem::create_symlink(PortFolder(n), Sysfs() + "/bus/usb-serial/devices/ttyUSB" + std::to_string(n));
        if (vanished)
            return;
        const std::filesystem::path port = PortFolder(n);
        const std::filesystem::path usb = port.parent_path().parent_path();
        std::filesystem::create_directories(port);
        Write(usb / "idVendor", "0403\n");
        if (product)
            Write(usb / "product", std::string(product) + "\n");
        Write(usb / "serial", serial + "\n");
        Write(port / "latency_timer", "16\n");
        const std::filesystem::path drivers = Sysfs() + "/bus/usb-serial/drivers/" + driver;
        std::filesystem::create_directories(drivers);
        std::filesystem::create_directory_symlink(drivers, port / "driver");
    }
    static void Write(const std::filesystem::path& file, const std::string& text) { std::ofstream(file) << text; }
    static std::string Read(const std::filesystem::path& file)
    {
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string root;
};
