// CDialog runs on the platform's dialog manager: the dialog window is created
// by DialogBoxIndirectParamA with AfxDlgProc as its dialog procedure. The
// first message of the new window attaches the CDialog and subclasses the
// window with AfxWndProc, so that every later message goes through the
// message map first; what the map leaves goes on to the dialog manager's
// window procedure (m_pfnSuper), which calls AfxDlgProc.
#include "platform/framework/dialog.h"

#include <unordered_map>

#include "platform/framework/winapp.h"

namespace {

// The dialog whose DoModal is creating its window on this thread.
thread_local CDialog* t_dlgInit = nullptr;

template <class Object, class Handle>
Object* LastingWrapper(Handle handle) {
    if (handle == nullptr) return nullptr;
    static auto* map = new std::unordered_map<Handle, Object*>;
    auto found = map->find(handle);
    if (found != map->end()) return found->second;
    auto* object = new Object;
    object->m_hObject = handle;
    map->emplace(handle, object);
    return object;
}

}  // namespace

CFont* CFont::FromHandle(HFONT hFont) {
    return LastingWrapper<CFont>(hFont);
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
    if (hMenu == nullptr) return nullptr;
    static auto* map = new std::unordered_map<HMENU, CMenu*>;
    auto found = map->find(hMenu);
    if (found != map->end()) return found->second;
    auto* menu = new CMenu;
    menu->m_hMenu = hMenu;
    map->emplace(hMenu, menu);
    return menu;
}

void CWndOps::CalcWindowRect(LPRECT lpClientRect, UINT) {
    ::AdjustWindowRectEx(lpClientRect, static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)),
                         FALSE, static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
}

LRESULT CWndOps::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWndOps::SubclassCreated() {
    if (m_hWnd == nullptr || m_pfnSuper != nullptr) return;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (m_pfnSuper == &AfxWndProc) m_pfnSuper = nullptr;
}

void CWndOps::CenterWindow(CWnd* pAlternateOwner) {
    RECT window;
    if (!::GetWindowRect(m_hWnd, &window)) return;
    RECT area = {0, 0, 0, 0};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT centre = area;
    HWND owner =
        pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &centre);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = (centre.left + centre.right) / 2 - width / 2;
    int y = (centre.top + centre.bottom) / 2 - height / 2;
    // Keep the window on the work area.
    if (x + width > area.right) x = area.right - width;
    if (x < area.left) x = area.left;
    if (y + height > area.bottom) y = area.bottom - height;
    if (y < area.top) y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BEGIN_MESSAGE_MAP(CDialog, CWndOps)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
ON_MESSAGE(WM_SETFONT, &CDialog::HandleSetFont)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_pParentWnd(nullptr), m_lpDialogTemplate(nullptr), m_nIDHelp(0), m_initRect{0, 0, 0, 0} {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog() {
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
}

CDialog::~CDialog() = default;

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void*) {
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    LPCDLGTEMPLATE dialogTemplate = m_lpDialogTemplate;
    if (dialogTemplate == nullptr && m_nIDHelp != 0) {
        HRSRC resource = ::FindResourceA(nullptr, MAKEINTRESOURCEA(m_nIDHelp), RT_DIALOG);
        if (resource != nullptr)
            dialogTemplate =
                static_cast<LPCDLGTEMPLATE>(::LockResource(::LoadResource(nullptr, resource)));
    }
    if (dialogTemplate == nullptr || m_hWnd != nullptr) return -1;
    // Without a parent the dialog is owned by the main window, unless that is
    // this dialog itself.
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (owner == nullptr) {
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd != this)
            owner = app->m_pMainWnd->m_hWnd;
    }
    CDialog* const outer = t_dlgInit;
    t_dlgInit = this;
    const INT_PTR result = ::DialogBoxIndirectParamA(nullptr, dialogTemplate, owner, AfxDlgProc,
                                                     reinterpret_cast<LPARAM>(this));
    t_dlgInit = outer;
    if (m_hWnd != nullptr) Detach();  // the window is gone
    m_pfnSuper = nullptr;
    return result;
}

void CDialog::EndDialog(int nResult) {
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnSetFont(CFont*) {}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

CWnd* CDialog::GetDlgItem(int nID) const {
    return CWnd::FromHandle(::GetDlgItem(m_hWnd, nID));
}

LRESULT CDialog::HandleSetFont(WPARAM wParam, LPARAM) {
    OnSetFont(CFont::FromHandle(reinterpret_cast<HFONT>(wParam)));
    return Default();
}

BOOL CDialog::OnHelpInfo(HELPINFO*) {
    return static_cast<BOOL>(Default());
}
BOOL CDialog::OnEraseBkgnd(HDC) {
    return static_cast<BOOL>(Default());
}
HCURSOR CDialog::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}
void CDialog::OnSettingChange(UINT, LPCSTR) {
    Default();
}
void CDialog::OnWindowPosChanging(WINDOWPOS*) {
    Default();
}
void CDialog::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CDialog::OnRButtonUp(UINT, CPoint) {
    Default();
}
void CDialog::OnHScroll(UINT, UINT, CWnd*) {
    Default();
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    CDialog* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    if (dialog == nullptr && t_dlgInit != nullptr) {
        dialog = t_dlgInit;
        t_dlgInit = nullptr;
        dialog->Attach(hWnd);
        dialog->m_pfnSuper = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    }
    if (dialog == nullptr || message != WM_INITDIALOG) return FALSE;
    ::GetWindowRect(hWnd, &dialog->m_initRect);
    const BOOL result = dialog->OnInitDialog();
    // A dialog that OnInitDialog did not move is centred over its owner.
    RECT now;
    if (::IsWindow(hWnd) && ::GetWindowRect(hWnd, &now) && now.left == dialog->m_initRect.left &&
        now.top == dialog->m_initRect.top)
        dialog->CenterWindow();
    return result;
}
