#ifndef TESTS_GRAPHICS_RECORDINGRENDERER_H
#define TESTS_GRAPHICS_RECORDINGRENDERER_H

// A back end that only writes down what it is asked to do, as lines such as
// "bindTexture 1" or "enableTexture0 1". Identifiers are numbered in upload
// order; the log may outlive the renderer. `Base` is the renderer interface
// being tested: GraphicsRenderer or one derived from it.

#include "Tovrane/GraphicsRenderer.h"
#include "Tovrane/Texture.h"

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

typedef std::vector<std::string> Log;

template <class Base> class RecordingBackEnd : public Base
{
    typedef Tovrane::ResourceIdentifier Id;

public:
    explicit RecordingBackEnd(std::shared_ptr<Log> log = std::make_shared<Log>()) : log(log) {}
    ~RecordingBackEnd() override
    {
        if (freeOnDestruction)
            this->releaseAllBindings();
    }

    void clearBuffers() override {}
    void clearBuffers(int, int, int, int) override {}
    void swapBuffers() override {}
    void onViewportChange() override { log->push_back("viewport"); }
    void onFrustumChange() override { log->push_back("frustum"); }
    void setAlphaState(Tovrane::AlphaStatePtr) override {}
    void setMaterialState(Tovrane::MaterialStatePtr) override {}
    void onEnableVertexBuffer(Tovrane::VertexBufferPtr, Id* id) override { note("enableVB", id); }
    void onDisableVertexBuffer(Tovrane::VertexBufferPtr, Id* id) override { note("disableVB", id); }
    Id* onBindVertexBuffer(Tovrane::VertexBufferPtr) override { return upload("bindVB"); }
    void onReleaseVertexBuffer(Id* id) override { free("releaseVB", id); }
    void onEnableIndexBuffer(Id* id) override { note("enableIB", id); }
    void onDisableIndexBuffer(Id* id) override { note("disableIB", id); }
    Id* onBindIndexBuffer(Tovrane::IndexBufferPtr) override { return upload("bindIB"); }
    void onReleaseIndexBuffer(Id* id) override { free("releaseIB", id); }
    void onEnableTexture(Id* id, int unit) override { note("enableTexture" + std::to_string(unit), id); }
    void onDisableTexture(Id* id, int unit) override { note("disableTexture" + std::to_string(unit), id); }
    Id* onBindTexture(Tovrane::TexturePtr) override { return upload("bindTexture"); }
    void onReleaseTexture(Id* id) override { free("releaseTexture", id); }

    // How many lines of the log start with `prefix`.
    int count(const std::string& prefix) const
    {
        return static_cast<int>(std::count_if(log->begin(), log->end(),
                                              [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }

    std::shared_ptr<Log> log;
    std::vector<std::thread::id> releaseThreads;
    bool freeOnDestruction = true;
    int live = 0;

private:
    void note(const std::string& what, Id* id) { log->push_back(what + " " + (id ? std::to_string(id->name) : "null")); }
    Id* upload(const std::string& what)
    {
        Id* id = new Id();
        id->name = ++uploads;
        ++live;
        note(what, id);
        return id;
    }
    void free(const std::string& what, Id* id)
    {
        note(what, id);
        releaseThreads.push_back(std::this_thread::get_id());
        --live;
        delete id;
    }
    unsigned uploads = 0;
};

typedef RecordingBackEnd<Tovrane::GraphicsRenderer> RecordingRenderer;

#endif
