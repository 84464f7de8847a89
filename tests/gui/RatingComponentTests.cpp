#include "WindowsTestSupport.h"

#include "RatingComponent.h"

namespace
{
    struct RatingCounter  : public RatingComponent::Listener
    {
        void ratingChanged (RatingComponent*) override  { ++calls; }
        int calls = 0;
    };
}

TEST (RatingComponentTest, ClicksAndDragsSetTheStarUnderTheMouse)
{
    RatingComponent rating;
    EXPECT_EQ (rating.getWidth(), 80);
    EXPECT_EQ (rating.getHeight(), 16);
    EXPECT_EQ (rating.getRating(), 3);

    RatingCounter counter;
    rating.addListener (&counter);

    struct Case { bool drag; int x; int rating; int calls; };
    const Case cases[] = { { false, 70, 5, 1 }, { false, 70, 5, 1 }, { false, 0, 1, 2 },
                           { true, 20, 2, 3 }, { true, 300, 2, 3 }, { true, -3, 1, 4 }, { true, -40, 1, 4 } };

    for (const auto& c : cases)
    {
        const auto e = WindowsTest::mouseAt (rating, c.x, 8);

        if (c.drag)
            rating.mouseDrag (e);
        else
            rating.mouseDown (e);

        EXPECT_EQ (rating.getRating(), c.rating) << c.x;
        EXPECT_EQ (counter.calls, c.calls) << c.x;
    }

    rating.setRating (3);
    auto image = rating.createComponentSnapshot (rating.getLocalBounds());
    const auto lit = image.getPixelAt (8 + 2 * 16, 9), unlit = image.getPixelAt (8 + 3 * 16, 9);
    EXPECT_GT (lit.getRed(), lit.getBlue() + 100);
    EXPECT_NEAR (unlit.getRed(), unlit.getBlue(), 10);
}
