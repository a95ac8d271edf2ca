#include "HostTestSupport.h"

#include "pluginterfaces/vst/ivstunits.h"

#include <cmath>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
    class HostParametersTest : public mqtest::PluginInstanceTest
    {
    protected:
        IPtr<IUnitInfo> unitInfo() const
        {
            void* result = nullptr;
            EXPECT_EQ (instance->getController().queryInterface (IUnitInfo::iid.toTUID(), &result), kResultOk);
            return owned (static_cast<IUnitInfo*> (result));
        }
    };

    struct ExpectedParameter
    {
        ParamID id;
        const char* title;
        double defaultNormalised;
    };

    // "filter" is skewed so that its default of 1000 Hz sits at (750 / 19750) ^ 0.30176237.
    const ExpectedParameter expectedParameters[] = {
        { mqtest::paramIds::distortion, "Distortion", 0.3 },
        { mqtest::paramIds::filter, "Filter", std::pow (750.0 / 19750.0, 0.30176237) },
        { mqtest::paramIds::volume, "Volume", 0.225 },
        { mqtest::paramIds::preset, "Preset", 0.0 },
        { mqtest::paramIds::bypass, "Bypass", 0.0 },
    };

    constexpr ProgramListID programListId = 0x70727374;
}

TEST_F (HostParametersTest, ListsFiveParametersInOrderWithBypassLast)
{
    auto& controller = instance->getController();
    ASSERT_EQ (controller.getParameterCount(), 5);

    for (int32 index = 0; index < 5; ++index)
    {
        const auto& expected = expectedParameters[index];
        SCOPED_TRACE (expected.title);

        ParameterInfo info {};
        ASSERT_EQ (controller.getParameterInfo (index, info), kResultOk);
        EXPECT_EQ (info.id, expected.id);
        EXPECT_EQ (mqtest::toAscii (info.title), expected.title);
        EXPECT_EQ (mqtest::toAscii (info.units), "");
        EXPECT_EQ (info.unitId, kRootUnitId);
        EXPECT_NEAR (info.defaultNormalizedValue, expected.defaultNormalised, 1e-6);
        EXPECT_NEAR (controller.getParamNormalized (expected.id), expected.defaultNormalised, 1e-6);
        EXPECT_NE (info.flags & ParameterInfo::kCanAutomate, 0);
        EXPECT_EQ (info.flags & ParameterInfo::kIsProgramChange, 0);
        EXPECT_EQ ((info.flags & ParameterInfo::kIsBypass) != 0, expected.id == mqtest::paramIds::bypass);
    }
}

TEST_F (HostParametersTest, HasNoProgramChangeParameter)
{
    auto& controller = instance->getController();
    String128 text {};

    for (int32 index = 0; index < controller.getParameterCount(); ++index)
    {
        ParameterInfo info {};
        ASSERT_EQ (controller.getParameterInfo (index, info), kResultOk);
        EXPECT_NE (info.id, (ParamID) programListId);
    }

    EXPECT_NE (controller.getParamStringByValue (programListId, 0.0, text), kResultOk);
}

TEST_F (HostParametersTest, OffersTheRootUnitAndOneFactoryProgramList)
{
    const auto units = unitInfo();
    ASSERT_NE (units, nullptr);

    ASSERT_EQ (units->getUnitCount(), 1);
    UnitInfo unit {};
    ASSERT_EQ (units->getUnitInfo (0, unit), kResultTrue);
    EXPECT_EQ (unit.id, kRootUnitId);
    EXPECT_EQ (unit.parentUnitId, kNoParentUnitId);
    EXPECT_EQ (mqtest::toAscii (unit.name), "Root Unit");
    // JUCE 7.0.5 links the root unit to the plug-in's program list.
    EXPECT_EQ (unit.programListId, programListId);

    ASSERT_EQ (units->getProgramListCount(), 1);
    ProgramListInfo list {};
    ASSERT_EQ (units->getProgramListInfo (0, list), kResultTrue);
    EXPECT_EQ (list.id, programListId);
    EXPECT_EQ (mqtest::toAscii (list.name), "Factory Presets");
    EXPECT_EQ (list.programCount, 1);

    String128 name;
    name[0] = 'x';
    ASSERT_EQ (units->getProgramName (programListId, 0, name), kResultTrue);
    EXPECT_EQ (mqtest::toAscii (name), "");
}

TEST_F (HostParametersTest, UnknownProgramsAndListsGiveNoName)
{
    const auto units = unitInfo();
    ASSERT_NE (units, nullptr);

    for (const auto& [list, program] : { std::pair { programListId, 1 }, std::pair { programListId, 5 },
                                         std::pair { programListId, -1 }, std::pair { ProgramListID { 7 }, 0 } })
    {
        SCOPED_TRACE (std::to_string (list) + "/" + std::to_string (program));
        String128 name;
        name[0] = 'x';
        EXPECT_EQ (units->getProgramName (list, program, name), kResultFalse);
        EXPECT_EQ (mqtest::toAscii (name), "");
    }

    UnitInfo unit {};
    EXPECT_EQ (units->getUnitInfo (1, unit), kResultFalse);
    ProgramListInfo listInfo {};
    EXPECT_EQ (units->getProgramListInfo (1, listInfo), kResultFalse);
}
