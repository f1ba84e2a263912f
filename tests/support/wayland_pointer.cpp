// Moves the pointer of a wlroots compositor the way a person's mouse would,
// through a virtual pointer (headless compositors have no mouse of their
// own): "test_wayland_pointer DX DY" moves it by DX, DY pixels again and
// again, a few times a second, until it is ended or half a minute has passed.
// A saver that should end on a motion is expected to end while it runs.
#include <wayland-client.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "virtual-pointer-client-protocol.h"

namespace {

wl_seat* seat = nullptr;
zwlr_virtual_pointer_manager_v1* manager = nullptr;

void global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    if (strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registryListener = {global, globalRemove};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    double dx = atof(argv[1]), dy = atof(argv[2]);
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return 1;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!manager) return 3;
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    // The first motions may reach a client before it has taken the new
    // pointer device; the later ones find it ready.
    for (int i = 0; i < 150; ++i) {
        uint32_t time = static_cast<uint32_t>(i) * 200;
        double sign = (i % 2) ? -1.0 : 1.0;
        zwlr_virtual_pointer_v1_motion(pointer, time, wl_fixed_from_double(sign * dx), wl_fixed_from_double(sign * dy));
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) < 0) return 1;
        usleep(200000);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
