#include "HostTestSupport.h"

namespace mqtest
{

namespace
{
    class PluginEnvironment final : public ::testing::Environment
    {
    public:
        void SetUp() override
        {
            module = std::make_unique<mqhost::Vst3Module> (MQ_VST3_MODULE_PATH);

            if (module->isLoaded())
                openInstance = std::make_unique<mqhost::Vst3Instance> (*module->getFactory());
        }

        void TearDown() override
        {
            openInstance.reset();
            module.reset();
        }

        static std::unique_ptr<mqhost::Vst3Module> module;

    private:
        // Like a host with a project open, keeps the plug-in's framework and its message thread
        // running between tests instead of starting and stopping them for every instance.
        std::unique_ptr<mqhost::Vst3Instance> openInstance;
    };

    std::unique_ptr<mqhost::Vst3Module> PluginEnvironment::module;

    [[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment (new PluginEnvironment);
}

mqhost::Vst3Module& pluginModule()
{
    return *PluginEnvironment::module;
}

std::string toAscii (const Steinberg::Vst::TChar* text)
{
    std::string result;

    for (; *text != 0; ++text)
        result += *text < 128 ? (char) *text : '?';

    return result;
}

void PluginInstanceTest::SetUp()
{
    ASSERT_TRUE (pluginModule().isLoaded()) << pluginModule().getError();
    instance = makeInstance();
    ASSERT_TRUE (instance->isValid()) << instance->getError();
}

std::unique_ptr<mqhost::Vst3Instance> PluginInstanceTest::makeInstance() const
{
    return std::make_unique<mqhost::Vst3Instance> (*pluginModule().getFactory());
}

} // namespace mqtest
