// Linked into every program of a sanitizer build.

// Qt 6.4 leaves these behind at exit whatever the program does: the tinted
// images of Qt Quick's IconImage and their textures outlive their window.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:QQuickIconImage::pixmapChange\n"
           "leak:QQuickImage::updatePaintNode\n";
}

// Qt is built without frame pointers: only the slow unwinder reaches the Qt
// frames that the suppressions name.
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}
