// The connection to the Wayland compositor: its globals, its outputs and the
// waiting for its events. Made by the first question about the desktop and
// kept for the process.
#include <poll.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/wayland_host.h"
#include "ext-session-lock-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

WaylandConnection wayland;

namespace {

// ---- Outputs ----

void outputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*, const char*,
                    int32_t transform)
{
    auto* output = static_cast<WaylandOutput*>(data);
    if (!output->layout) {
        output->x = x;
        output->y = y;
    }
    output->turned = transform == WL_OUTPUT_TRANSFORM_90 || transform == WL_OUTPUT_TRANSFORM_270 ||
                     transform == WL_OUTPUT_TRANSFORM_FLIPPED_90 || transform == WL_OUTPUT_TRANSFORM_FLIPPED_270;
}

void outputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t refresh)
{
    if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
    auto* output = static_cast<WaylandOutput*>(data);
    output->pixelWidth = width;
    output->pixelHeight = height;
    output->refreshMilliHz = refresh;
}

void outputDone(void* data, wl_output*)
{
    auto* output = static_cast<WaylandOutput*>(data);
    if (output->turned && output->pixelWidth) {
        // The mode is the panel's; a turned output shows it the other way round.
        std::swap(output->pixelWidth, output->pixelHeight);
        output->turned = false;
    }
    bool first = !output->described;
    output->described = output->pixelWidth > 0 && output->pixelHeight > 0;
    if (first && output->described) waylandOutputAdded(*output);
}

void outputScale(void* data, wl_output*, int32_t factor)
{
    static_cast<WaylandOutput*>(data)->scale = factor > 0 ? factor : 1;
}

void outputName(void*, wl_output*, const char*) {}
void outputDescription(void*, wl_output*, const char*) {}

const wl_output_listener outputListener = {outputGeometry, outputMode, outputDone, outputScale, outputName,
                                           outputDescription};

// wlroots compositors leave wl_output's position at 0, 0 and give the layout through xdg-output.
void layoutPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y)
{
    auto* output = static_cast<WaylandOutput*>(data);
    output->x = x;
    output->y = y;
}
void layoutSize(void*, zxdg_output_v1*, int32_t, int32_t) {}
void layoutDone(void*, zxdg_output_v1*) {}
void layoutName(void*, zxdg_output_v1*, const char*) {}
void layoutDescription(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener layoutListener = {layoutPosition, layoutSize, layoutDone, layoutName,
                                                layoutDescription};

void followLayout(WaylandOutput& output)
{
    if (output.layout || !wayland.layoutManager) return;
    output.layout = zxdg_output_manager_v1_get_xdg_output(wayland.layoutManager, output.output);
    zxdg_output_v1_add_listener(output.layout, &layoutListener, &output);
}

// ---- The shell's ping ----

void shellPing(void*, xdg_wm_base* shell, uint32_t serial)
{
    xdg_wm_base_pong(shell, serial);
}
const xdg_wm_base_listener shellListener = {shellPing};

// ---- The registry ----

template <typename T>
T* bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered, uint32_t wanted)
{
    return static_cast<T*>(wl_registry_bind(registry, name, interface, offered < wanted ? offered : wanted));
}

void global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    WaylandConnection& w = wayland;
    if (strcmp(interface, wl_compositor_interface.name) == 0) {
        w.compositor = bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
    } else if (strcmp(interface, wl_shm_interface.name) == 0) {
        w.shm = bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
    } else if (strcmp(interface, xdg_wm_base_interface.name) == 0) {
        w.shell = bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 1);
        xdg_wm_base_add_listener(w.shell, &shellListener, nullptr);
    } else if (strcmp(interface, wl_seat_interface.name) == 0 && !w.seat) {
        w.seat = bind<wl_seat>(registry, name, &wl_seat_interface, version, 5);
        waylandSeatReady();
    } else if (strcmp(interface, wp_viewporter_interface.name) == 0) {
        w.viewporter = bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
    } else if (strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        w.layoutManager = bind<zxdg_output_manager_v1>(registry, name, &zxdg_output_manager_v1_interface, version, 2);
        for (auto& output : w.outputs) followLayout(*output);
    } else if (strcmp(interface, ext_session_lock_manager_v1_interface.name) == 0) {
        w.lockManager =
            bind<ext_session_lock_manager_v1>(registry, name, &ext_session_lock_manager_v1_interface, version, 1);
    } else if (strcmp(interface, wl_output_interface.name) == 0) {
        auto output = std::make_unique<WaylandOutput>();
        output->name = name;
        output->output = bind<wl_output>(registry, name, &wl_output_interface, version, 4);
        wl_output_add_listener(output->output, &outputListener, output.get());
        followLayout(*output);
        w.outputs.push_back(std::move(output));
    }
}

void globalRemove(void*, wl_registry*, uint32_t name)
{
    auto& outputs = wayland.outputs;
    for (auto it = outputs.begin(); it != outputs.end(); ++it) {
        if ((*it)->name != name) continue;
        waylandOutputRemoved(**it);
        if ((*it)->layout) zxdg_output_v1_destroy((*it)->layout);
        if (wl_output_get_version((*it)->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
            wl_output_release((*it)->output);
        else
            wl_output_destroy((*it)->output);
        outputs.erase(it);
        return;
    }
}

const wl_registry_listener registryListener = {global, globalRemove};

} // namespace

bool waylandConnect()
{
    WaylandConnection& w = wayland;
    if (w.display) return !w.failed;
    if (w.failed) return false;
    w.display = wl_display_connect(nullptr);
    if (!w.display) {
        w.failed = true;
        return false;
    }
    w.registry = wl_display_get_registry(w.display);
    wl_registry_add_listener(w.registry, &registryListener, nullptr);
    // The first round trip brings the globals, the second what the outputs and the seat say of
    // themselves, the third the layout's word on outputs that came before its manager.
    for (int trip = 0; trip < 3 && !w.failed; ++trip)
        if (wl_display_roundtrip(w.display) < 0) w.failed = true;
    if (!w.compositor || !w.shm || !w.shell) w.failed = true;
    return !w.failed;
}

bool waylandPump(int timeoutMs)
{
    WaylandConnection& w = wayland;
    if (!w.display || w.failed) return false;
    while (wl_display_prepare_read(w.display) != 0) {
        if (wl_display_dispatch_pending(w.display) < 0) {
            w.failed = true;
            return false;
        }
    }
    // A full socket is retried at the next pump; anything else is a broken connection.
    if (wl_display_flush(w.display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(w.display);
        w.failed = true;
        return false;
    }
    pollfd descriptor = {wl_display_get_fd(w.display), POLLIN, 0};
    int ready = poll(&descriptor, 1, timeoutMs);
    if (ready > 0) {
        if (wl_display_read_events(w.display) < 0) {
            w.failed = true;
            return false;
        }
    } else {
        wl_display_cancel_read(w.display);
    }
    if (wl_display_dispatch_pending(w.display) < 0) w.failed = true;
    return !w.failed;
}

WaylandOutput* museumOutput()
{
    // The compositor announces its outputs in an order of its own (sway 1.7 and 1.10 differ): the layout decides.
    WaylandOutput* first = nullptr;
    for (auto& output : wayland.outputs) {
        if (!output->described) continue;
        if (!first || output->y < first->y || (output->y == first->y && output->x < first->x)) first = output.get();
    }
    return first;
}
