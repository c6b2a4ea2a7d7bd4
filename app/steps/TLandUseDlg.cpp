#include "app/steps/TLandUseDlg.h"

#include "grid/TExtStringGrid.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/WindowFrame.h"

#include <QPushButton>

namespace {

struct LandUse {
    int code;
    const char* description;
};

// Grouped by hundreds, each group opened by its general description.
const LandUse kLandUses[] = {
    {0, "Unknown"},
    {99, "Residential Attached"},
    {100, "Residential (NEC)"},
    {101, "Single Family Detached"},
    {102, "Townhouse"},
    {103, "Cluster Home"},
    {106, "Row House"},
    {109, "Patio Home"},
    {111, "Condominium"},
    {112, "Condominium Conversion"},
    {113, "Cooperative"},
    {114, "Time Share"},
    {115, "Planned Unit Development"},
    {116, "Garden Home"},
    {117, "Zero Lot Line"},
    {118, "Duplex"},
    {119, "Triplex"},
    {127, "Fourplex"},
    {130, "Multi-Family Dwelling"},
    {131, "Apartments (5+ Units)"},
    {132, "Apartments (Garden)"},
    {133, "Apartments (High Rise)"},
    {134, "Boarding House"},
    {135, "Rooming House"},
    {136, "Dormitory"},
    {137, "Fraternity / Sorority"},
    {138, "Group Quarters"},
    {139, "Retirement Home"},
    {142, "Manufactured Home"},
    {148, "Mobile Home"},
    {151, "Mobile Home Park"},
    {155, "Modular Home"},
    {156, "Seasonal Cabin"},
    {157, "Vacation Home"},
    {159, "Residential Income"},
    {160, "Rural Residence"},
    {161, "Ranch House"},
    {162, "Farm House"},
    {163, "Single Family Residence"},
    {164, "Second Residence"},
    {165, "Residential Common Area"},
    {167, "Residential Accessory Building"},
    {199, "Residential Miscellaneous"},
    {200, "Commercial (NEC)"},
    {201, "Retail Store"},
    {202, "Store / Office Combination"},
    {203, "Store / Residence Combination"},
    {204, "Department Store"},
    {205, "Discount Store"},
    {207, "Supermarket"},
    {208, "Convenience Store"},
    {209, "Drug Store"},
    {210, "Shopping Center (Neighborhood)"},
    {211, "Shopping Center (Community)"},
    {212, "Shopping Center (Regional)"},
    {213, "Strip Center"},
    {214, "Outlet Center"},
    {215, "Mall"},
    {217, "Restaurant"},
    {218, "Fast Food Restaurant"},
    {220, "Bar / Tavern"},
    {221, "Night Club"},
    {222, "Bakery"},
    {223, "Dry Cleaner"},
    {225, "Laundromat"},
    {226, "Barber / Beauty Shop"},
    {229, "Funeral Home"},
    {230, "Office Building"},
    {234, "Office Building (High Rise)"},
    {235, "Professional Building"},
    {236, "Medical Building"},
    {237, "Dental Building"},
    {238, "Veterinary Clinic"},
    {239, "Bank"},
    {240, "Savings and Loan"},
    {242, "Financial Building"},
    {243, "Hotel"},
    {244, "Motel"},
    {245, "Resort Hotel"},
    {246, "Bed and Breakfast"},
    {247, "Service Station"},
    {248, "Truck Stop"},
    {249, "Car Wash"},
    {250, "Auto Sales"},
    {251, "Auto Repair"},
    {252, "Auto Parts"},
    {255, "Parking Garage"},
    {257, "Parking Lot"},
    {258, "Tire Store"},
    {261, "Nursery / Greenhouse"},
    {262, "Kennel"},
    {266, "Day Care Center"},
    {268, "Nursing Home"},
    {269, "Hospital (Private)"},
    {270, "Clinic"},
    {273, "Commercial Condominium"},
    {276, "Mini Warehouse"},
    {278, "Commercial Warehouse"},
    {279, "Distribution Center"},
    {281, "Lumber Yard"},
    {282, "Building Supply"},
    {283, "Equipment Rental"},
    {284, "Flea Market"},
    {285, "Swap Meet"},
    {286, "Commercial Mixed Use"},
    {290, "Leased Land / Bldg."},
    {299, "Leased Land / Bldg."},
    {300, "Industrial (NEC)"},
    {301, "Light Industrial"},
    {302, "Heavy Industrial"},
    {303, "Industrial Park"},
    {304, "Industrial Condominium"},
    {308, "Manufacturing"},
    {309, "Assembly Plant"},
    {310, "Food Processing"},
    {311, "Cannery"},
    {312, "Winery"},
    {313, "Brewery"},
    {316, "Packing House"},
    {318, "Cold Storage"},
    {320, "Industrial Warehouse"},
    {321, "Flex Space"},
    {322, "Research and Development"},
    {323, "Laboratory"},
    {324, "Printing Plant"},
    {326, "Machine Shop"},
    {328, "Foundry"},
    {331, "Chemical Plant"},
    {333, "Refinery"},
    {334, "Lumber Mill"},
    {338, "Sawmill"},
    {342, "Concrete Plant"},
    {344, "Asphalt Plant"},
    {349, "Recycling Center"},
    {352, "Junk Yard"},
    {353, "Salvage Yard"},
    {354, "Quarry"},
    {356, "Gravel Pit"},
    {358, "Mine"},
    {361, "Tank Farm"},
    {364, "Truck Terminal"},
    {366, "Industrial Miscellaneous"},
    {400, "Vacant Land (NEC)"},
    {401, "Vacant Residential"},
    {415, "Vacant Multi-Family"},
    {420, "Vacant Commercial"},
    {421, "Vacant Office"},
    {425, "Vacant Retail"},
    {430, "Vacant Industrial"},
    {435, "Vacant Agricultural"},
    {436, "Vacant Rural"},
    {440, "Vacant Recreational"},
    {445, "Vacant Public"},
    {446, "Vacant Institutional"},
    {450, "Residential Lot"},
    {452, "Commercial Lot"},
    {453, "Industrial Lot"},
    {454, "Subdivided Land"},
    {455, "Undeveloped Land"},
    {456, "Unbuildable Lot"},
    {460, "Open Space"},
    {465, "Easement"},
    {466, "Right of Way"},
    {480, "Waste Land"},
    {481, "Marsh / Swamp"},
    {490, "Vacant Land Miscellaneous"},
    {499, "Vacant Land Common Area"},
    {500, "Agricultural (NEC)"},
    {501, "Irrigated Farm"},
    {502, "Dry Farm"},
    {505, "Pasture"},
    {509, "Grazing Land"},
    {510, "Orchard"},
    {511, "Citrus Grove"},
    {512, "Vineyard"},
    {514, "Nut Grove"},
    {515, "Row Crops"},
    {520, "Field Crops"},
    {530, "Dairy"},
    {533, "Poultry Farm"},
    {540, "Livestock Ranch"},
    {542, "Feed Lot"},
    {550, "Horse Ranch"},
    {560, "Timber Land"},
    {562, "Tree Farm"},
    {570, "Agricultural Preserve"},
    {575, "Agricultural Homesite"},
    {599, "Agricultural Miscellaneous"},
    {600, "Public (NEC)"},
    {601, "Federal Property"},
    {602, "State Property"},
    {603, "County Property"},
    {604, "City Property"},
    {605, "Special District"},
    {606, "Public School"},
    {607, "College / University"},
    {609, "Public Library"},
    {611, "Public Hospital"},
    {614, "Fire Station"},
    {615, "Police Station"},
    {618, "Post Office"},
    {630, "Courthouse"},
    {640, "Jail / Correctional Facility"},
    {650, "Church"},
    {652, "Religious School"},
    {654, "Convent / Monastery"},
    {655, "Parsonage"},
    {656, "Cemetery"},
    {660, "Fraternal Lodge"},
    {664, "Charitable Organization"},
    {665, "Museum"},
    {670, "Military Installation"},
    {671, "Armory"},
    {675, "Water District"},
    {680, "Utility Property"},
    {690, "Public Common Area"},
    {699, "Public Miscellaneous"},
    {700, "Recreational (NEC)"},
    {701, "Park"},
    {703, "Playground"},
    {706, "Golf Course"},
    {709, "Country Club"},
    {712, "Tennis Club"},
    {721, "Health Club"},
    {725, "Swimming Pool"},
    {727, "Bowling Alley"},
    {728, "Skating Rink"},
    {733, "Arcade"},
    {742, "Marina"},
    {745, "Boat Launch"},
    {750, "Campground"},
    {754, "RV Park"},
    {755, "Resort"},
    {757, "Ski Resort"},
    {766, "Racetrack"},
    {769, "Stadium"},
    {770, "Arena"},
    {775, "Amusement Park"},
    {780, "Zoo"},
    {784, "Fairgrounds"},
    {787, "Rodeo Grounds"},
    {795, "Drive-In Theater"},
    {796, "Theater"},
    {797, "Auditorium"},
    {798, "Cinema"},
    {799, "Theater"},
    {800, "Transport (NEC)"},
    {801, "Airport"},
    {806, "Airstrip"},
    {818, "Railroad"},
    {830, "Bus Terminal"},
    {839, "Highway"},
    {850, "Pipeline"},
    {860, "Communications"},
    {863, "Radio / TV Station"},
    {864, "Cellular Tower"},
    {867, "Power Plant"},
    {875, "Electric Substation"},
    {877, "Water Treatment Plant"},
    {879, "Sewage Treatment Plant"},
    {880, "Reservoir"},
    {885, "Canal"},
    {886, "Well/Gas/Oil"},
    {899, "Well/Gas/Oil"},
    {999, "Unknown"},
};

} // namespace

void TLandUseDlg::CentreOnMainWindow()
{
    // The main window, not the step form that opened the dialog (whose
    // geometry is in its panel's coordinates).
    const QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
    if (!main) return;
    const QRect mainFrame = main->frameGeometry();
    const QMargins margins = WindowFrameMargins(this);
    const QSize frame = size() + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    // move() places the frame's top left corner.
    move(mainFrame.center() - QPoint((frame.width() - 1) / 2, (frame.height() - 1) / 2));
}

void TLandUseDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnMainWindow();
}

TLandUseDlg::TLandUseDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LandUseDlg"));
    setWindowTitle(QStringLiteral("Land Use Codes"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(364, 468);
    CentreOnMainWindow();

    gLandUse = new TExtStringGrid(this, QStringLiteral("gLandUse"));
    gLandUse->setGeometry(0, 0, 364, 424);
    gLandUse->SetColCount(3);
    gLandUse->SetRowCount(2);
    gLandUse->SetFixedCols(1);
    gLandUse->SetFixedRows(1);
    gLandUse->SetDefaultRowHeight(21);
    gLandUse->SetColWidths(0, 20);
    gLandUse->SetColWidths(1, 64);
    gLandUse->SetColWidths(2, 275);
    gLandUse->SetOptions(gLandUse->Options() + TGridOption::goRowSelect);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    gLandUse->setFont(font);
    gLandUse->SetColumnHeaders({QString(), QStringLiteral("Use Code"), QStringLiteral("Description")});
    gLandUse->OnDblClick = [this](QObject*) { BitBtn1->click(); };

    bool first = true;
    for (const LandUse& u : kLandUses) {
        if (!first) gLandUse->AddRow();
        first = false;
        const int row = gLandUse->RowCount() - 1;
        gLandUse->SetCellText(1, row, QString::number(u.code));
        gLandUse->SetCellText(2, row, QString::fromLatin1(u.description));
    }

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(190, 434, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(mrOk); });
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(276, 434, 75, 25);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

QString TLandUseDlg::Code() { return gLandUse->GetCellText(1, gLandUse->Row()); }
