#include "HostTestSupport.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <array>
#include <cstring>
#include <string>

using namespace Steinberg;
using mqtest::pluginModule;

namespace
{
    using ClassId = std::array<unsigned char, 16>;

    constexpr ClassId componentClassId { 0xAB, 0xCD, 0xEF, 0x01, 0x91, 0x82, 0xFA, 0xEB, 'M', 'a', 'n', 'u', 'K', 'z', 'u', 'b' };
    constexpr ClassId controllerClassId { 0xAB, 0xCD, 0xEF, 0x01, 0x12, 0x34, 0xAB, 0xCD, 'M', 'a', 'n', 'u', 'K', 'z', 'u', 'b' };

    // The interface through which the component hands its processor to the controller.
    constexpr ClassId processorInterfaceId { 0x01, 0x01, 0xAB, 0xAB, 0xAB, 0xCD, 0xEF, 0x01, 'M', 'a', 'n', 'u', 'K', 'z', 'u', 'b' };

    ClassId toClassId (const TUID cid)
    {
        ClassId result;
        std::memcpy (result.data(), cid, result.size());
        return result;
    }

    std::u16string toUtf16 (const char16* text)
    {
        return std::u16string (reinterpret_cast<const char16_t*> (text));
    }

    struct ExpectedClass
    {
        ClassId cid;
        const char* category;
    };

    const std::array<ExpectedClass, 2> expectedClasses { {
        { componentClassId, "Audio Module Class" },
        { controllerClassId, "Component Controller Class" },
    } };

    class PluginFactoryTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE (pluginModule().isLoaded()) << pluginModule().getError();
            factory = pluginModule().getFactory();
        }

        template <typename Interface>
        IPtr<Interface> factoryAs() const
        {
            void* result = nullptr;
            EXPECT_EQ (factory->queryInterface (Interface::iid.toTUID(), &result), kResultOk);
            return owned (static_cast<Interface*> (result));
        }

        IPluginFactory* factory = nullptr;
    };
}

TEST_F (PluginFactoryTest, ModuleLoadsAndOffersTwoClasses)
{
    EXPECT_EQ (factory->countClasses(), 2);
}

TEST_F (PluginFactoryTest, FactoryInfoNamesTheVendor)
{
    PFactoryInfo info {};
    ASSERT_EQ (factory->getFactoryInfo (&info), kResultOk);

    EXPECT_STREQ (info.vendor, "Zelbo Ruk");
    EXPECT_STREQ (info.url, "https://www.zelboruk.example");
    EXPECT_STREQ (info.email, "");
    EXPECT_EQ (info.flags, 16);
    EXPECT_EQ (info.flags, PFactoryInfo::kUnicode);
}

TEST_F (PluginFactoryTest, ClassInfosCarryIdentityAndExactClassIds)
{
    const auto factory2 = factoryAs<IPluginFactory2>();
    const auto factory3 = factoryAs<IPluginFactory3>();
    ASSERT_NE (factory2, nullptr);
    ASSERT_NE (factory3, nullptr);

    for (int32 index = 0; index < 2; ++index)
    {
        SCOPED_TRACE ("class " + std::to_string (index));
        const auto& expected = expectedClasses[(size_t) index];

        PClassInfo info {};
        ASSERT_EQ (factory->getClassInfo (index, &info), kResultOk);
        EXPECT_EQ (toClassId (info.cid), expected.cid);
        EXPECT_EQ (info.cardinality, 0x7FFFFFFF);
        EXPECT_STREQ (info.category, expected.category);
        EXPECT_STREQ (info.name, "Marvolen Quistra");

        PClassInfo2 info2 {};
        ASSERT_EQ (factory2->getClassInfo2 (index, &info2), kResultOk);
        EXPECT_EQ (toClassId (info2.cid), expected.cid);
        EXPECT_EQ (info2.cardinality, 0x7FFFFFFF);
        EXPECT_STREQ (info2.category, expected.category);
        EXPECT_STREQ (info2.name, "Marvolen Quistra");
        EXPECT_EQ (info2.classFlags, 0u);
        EXPECT_STREQ (info2.subCategories, "Fx");
        EXPECT_STREQ (info2.vendor, "Zelbo Ruk");
        EXPECT_STREQ (info2.version, "2.0.0");
        EXPECT_STREQ (info2.sdkVersion, "VST 3.7.2");

        PClassInfoW infoW {};
        ASSERT_EQ (factory3->getClassInfoUnicode (index, &infoW), kResultOk);
        EXPECT_EQ (toClassId (infoW.cid), expected.cid);
        EXPECT_EQ (infoW.cardinality, 0x7FFFFFFF);
        EXPECT_STREQ (infoW.category, expected.category);
        EXPECT_EQ (toUtf16 (infoW.name), u"Marvolen Quistra");
        EXPECT_EQ (infoW.classFlags, 0u);
        EXPECT_STREQ (infoW.subCategories, "Fx");
        EXPECT_EQ (toUtf16 (infoW.vendor), u"Zelbo Ruk");
        EXPECT_EQ (toUtf16 (infoW.version), u"2.0.0");
        EXPECT_EQ (toUtf16 (infoW.sdkVersion), u"VST 3.7.2");
    }
}

TEST_F (PluginFactoryTest, AcceptsTheHostContext)
{
    // The factory keeps the context until it is released, so it must outlive the module.
    static mqhost::HostApplication host;
    EXPECT_EQ (factoryAs<IPluginFactory3>()->setHostContext (&host), kResultTrue);
}

TEST_F (PluginFactoryTest, UnknownClassIdCreatesNothing)
{
    const ClassId unknown { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 };
    void* object = reinterpret_cast<void*> (1);

    EXPECT_NE (factory->createInstance (reinterpret_cast<FIDString> (unknown.data()),
                                        reinterpret_cast<FIDString> (Vst::IComponent::iid.toTUID()), &object),
               kResultOk);
    EXPECT_EQ (object, nullptr);
}

class PluginIdentityTest : public mqtest::PluginInstanceTest {};

TEST_F (PluginIdentityTest, ComponentNamesTheControllerClass)
{
    TUID cid {};
    ASSERT_EQ (instance->getComponent().getControllerClassId (cid), kResultTrue);
    EXPECT_EQ (toClassId (cid), controllerClassId);
}

TEST_F (PluginIdentityTest, ComponentOffersItsProcessorInterfaceUnderTheDerivedId)
{
    TUID iid;
    std::memcpy (iid, processorInterfaceId.data(), sizeof (iid));

    FUnknown* processorInterface = nullptr;
    ASSERT_EQ (instance->getComponent().queryInterface (iid, reinterpret_cast<void**> (&processorInterface)), kResultOk);
    ASSERT_NE (processorInterface, nullptr);
    processorInterface->release();
}
